#include "PodsimProcess.h"
#include "Screen.h"
#include "support/Files.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace vantelo {
namespace {

int Pixels(const QImage& shot, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            n += shot.pixel(x, y) == colour ? 1 : 0;
    return n;
}

// The station's window on a 1366 x 768 screen over podsim's bench: a good
// pod, one that fails, an empty port and a pod of another type. Each tile
// keeps its pod's colour, the record has a line per pod, and SIGTERM (the
// session ending) closes the window at once, with the terminal's status.
TEST(StationWindowOnScreen, ShowsEachPortsResultAndRecordsEveryPod)
{
    QTemporaryDir dir;
    PodsimProcess podsim{QStringLiteral(PODSIM_PROGRAM),
                         {"--port", "1:type=1,version=1.12,baud=38400", "--port", "2:type=1,version=1.12,refuse=1:99",
                          "--port", "3:empty", "--port", "4:type=13,version=2.0,baud=9600"}};
    const QString file = dir.filePath("Bench1.TXF");
    ASSERT_TRUE(testing::WriteFile(file, testing::ConfigFileBytes(1, 200).toStdString()));
    const QString record = dir.filePath("pods.jsonl");
    // The user's settings and documents stay out of it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        environment.insert(name, dir.path());
    environment.insert("VANTELO_REGISTRY", dir.filePath("registry.reg"));
    QProcess station; // killed when it goes out of scope
    station.setProcessEnvironment(environment);
    station.setProcessChannelMode(QProcess::ForwardedChannels);
    station.start(QStringLiteral(PROGRAM), {"--window", "--record", record, file});
    ASSERT_TRUE(station.waitForStarted());

    const QDeadlineTimer deadline(60'000);
    while (testing::ReadFile(record).find("skipped") == std::string::npos ||
           QByteArray::fromStdString(testing::ReadFile(record)).count('\n') < 3) {
        ASSERT_FALSE(deadline.hasExpired()) << testing::ReadFile(record);
        QThread::msleep(100);
    }
    const std::string lines = testing::ReadFile(record);
    for (const char* pod : {R"("port":"COM1",.*"result":"programmed")", R"("port":"COM2",.*"result":"failed")",
                            R"("port":"COM4",.*"result":"skipped")"})
        EXPECT_TRUE(QRegularExpression(pod).match(QString::fromStdString(lines)).hasMatch()) << pod << "\n" << lines;

    // The pods answer again after their restart (the next poll, 2 s on):
    // their tiles then say to take them off; the window draws five times a second.
    QThread::msleep(4500);
    const QImage screen =
        QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shot = screen.copy(testing::PaintedExtent(screen));
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    shot.save(QStringLiteral(SCREENSHOT_DIR "/station-window.png"));
    // Each tile's colour fills most of a tile of some 300 x 100 pixels.
    for (const QRgb colour : {qRgb(0xa5, 0xd6, 0xa7), qRgb(0xef, 0x9a, 0x9a), qRgb(0xff, 0xcc, 0x80)})
        EXPECT_GT(Pixels(shot, colour), 10'000) << std::hex << colour;
    EXPECT_GT(Pixels(shot, qRgb(0xe0, 0xe0, 0xe0)), 10'000) << "the empty port's grey";

    station.terminate();
    ASSERT_TRUE(station.waitForFinished(10'000));
    EXPECT_EQ(station.exitCode(), 1) << "a pod failed, as on the terminal";
}

} // namespace
} // namespace vantelo
