#include "support/Files.h"
#include "support/Sim.h"

#include "catalogue/RegisterPod.h"
#include "config/PodFile.h"
#include "sim/Clock.h"
#include "station/PortRunner.h"
#include "station/RecordFile.h"
#include "station/StationControl.h"
#include "station/terminal/TerminalBoard.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vantelo::station {
namespace {

// Ports on threads of their own share the catalogue, the job, the board, the
// record and the control, while a view draws the board: every pod is
// programmed and recorded once. The ThreadSanitizer build runs this too.
TEST(StationThreads, PortsShareOnlyWhatIsGuarded)
{
    constexpr int Ports = 4;
    const QByteArray bytes = testing::ConfigFileBytes(1, 64);
    auto configuration = std::make_unique<PodConfiguration>();
    ParsePodConfiguration({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())},
                          *configuration);
    const StationJob job{*configuration, QStringLiteral("job.TXF"), QStringLiteral("ab12"), false};
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    QTemporaryDir dir;
    RecordFile record;
    QString error;
    ASSERT_TRUE(record.Open(dir.filePath("record.jsonl"), error));
    const std::vector<QString> names{"COM1", "COM2", "COM3", "COM4"};
    StatusBoard board(names);
    StationControl control;

    struct Bench {
        sim::Clock clock;
        sim::Line line{clock};
        sim::Pod pod{testing::PodModelOf(0x22, 38400)};
    };
    std::vector<std::unique_ptr<Bench>> benches;
    std::atomic<int> running = Ports;
    std::vector<std::thread> threads;
    for (int i = 0; i < Ports; ++i) {
        Bench& bench = *benches.emplace_back(std::make_unique<Bench>());
        bench.line.Connect(i + 1, bench.pod);
        bench.line.CommPort(i + 1);
        threads.emplace_back([&, i] {
            const StationPort where{names[std::size_t(i)], QStringLiteral("/dev/x%1").arg(i), true, i + 1};
            PortRunner(bench.line, bench.clock, {podTypes, job, where, i, board, record, control}, [&bench] {
                return std::chrono::nanoseconds(bench.clock.Now());
            }).Run();
            --running;
        });
    }
    while (running > 0) {
        BoardLines(board.Take(), {80, 24}, true, BoardClock::now());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (std::thread& thread : threads)
        thread.join();

    for (const auto& bench : benches) {
        const auto image = bench->pod.Image();
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + 64,
                               reinterpret_cast<const std::uint8_t*>(bytes.constData()) + testing::MainImageAt));
    }
    EXPECT_EQ(board.Take().totals[PodResult::Programmed], Ports);
    QFile lines(dir.filePath("record.jsonl"));
    EXPECT_TRUE(lines.open(QIODevice::ReadOnly) && lines.readAll().count("\"programmed\"") == Ports);
}

} // namespace
} // namespace vantelo::station
