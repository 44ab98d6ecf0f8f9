#include "support/Files.h"
#include "support/Sim.h"

#include "catalogue/RegisterPod.h"
#include "sim/Clock.h"
#include "sim/Line.h"
#include "sim/Pod.h"
#include "station/PortRunner.h"
#include "station/RecordFile.h"
#include "station/StationControl.h"
#include "station/StatusBoard.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantelo::station {
namespace {

// The two-micro pod needs RTS, which no pty has: its whole path runs here,
// through the station's runner, on the simulated line.
TEST(PortRunner, TwoMicroPodGetsBothImagesAndOneRecord)
{
    sim::Clock clock;
    sim::Line line(clock);
    sim::TwoMicroPod pod(testing::PodModelOf(0x88), testing::PodModelOf(0x99, 4800));
    line.Connect(1, pod);
    line.CommPort(1);

    const QByteArray bytes = testing::ConfigFileBytes(TwoMicroTypeCode, 12, 4);
    PodConfiguration configuration;
    ASSERT_EQ(ParsePodConfiguration({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size())},
                                    configuration)
                  .fault,
              PodFileFault::None);
    const StationJob job{configuration, QStringLiteral("Oxa \"2\".TXF"), QStringLiteral("ab12"), false};
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    QTemporaryDir dir;
    RecordFile record;
    QString error;
    ASSERT_TRUE(record.Open(dir.filePath("record.jsonl"), error)) << error.toStdString();
    std::FILE* screen = std::tmpfile();
    StatusBoard board({QStringLiteral("COM1")}, false, screen);
    StationControl control;

    const StationPort where{QStringLiteral("COM1"), QStringLiteral("/dev/x"), true, 1};
    PortRunner(line, clock, {podTypes, job, where, 0, board, record, control},
               [&] { return std::chrono::milliseconds(clock.Now() / sim::Millisecond); })
        .Run();

    // Each image up to its length inclusive, the IR one over what the buffer held.
    const auto& c = configuration;
    std::vector<std::uint8_t> main(16, 0), ir(c.main_image.begin(), c.main_image.begin() + 8);
    std::copy_n(c.main_image.begin(), 13, main.begin());
    std::copy_n(c.ir_image.begin(), 5, ir.begin());
    EXPECT_EQ(pod.main().Image(), main);
    EXPECT_EQ(pod.ir().Image(), ir);
    EXPECT_EQ(ExitStatus(control, false), 0);

    QFile file(dir.filePath("record.jsonl"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2) << "one line, ended";
    const QJsonObject line0 = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(line0["file"].toString(), "Oxa \"2\".TXF");
    EXPECT_EQ(line0["pod_type"].toInt(), 7);
    EXPECT_EQ(line0["result"].toString(), "programmed");
    EXPECT_EQ(line0["messages"].toArray().size(), 0);
    std::fclose(screen);
}

} // namespace
} // namespace vantelo::station
