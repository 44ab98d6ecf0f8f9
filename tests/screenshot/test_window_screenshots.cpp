#include "PodsimProcess.h"
#include "Screen.h"
#include "support/Files.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>

namespace vantelo {
namespace {

using testing::PaintedExtent;

// The fraction of the rectangle's pixels that have exactly this colour.
double Share(const QImage& image, const QRect& rect, const QColor& colour)
{
    const QRect area = rect & image.rect();
    int matches = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            matches += image.pixel(x, y) == colour.rgb() ? 1 : 0;
    return area.isEmpty() ? 0.0 : double(matches) / (area.width() * area.height());
}

// The window's design, in twips (1/1440 inch) from its top-left corner: its
// size, the search notice over Frame1's column, and the pod list's rows.
constexpr QSize Window{2895, 4620};
constexpr QRect SearchNotice{120, 1920, 2535, 2655};
constexpr int SlotPitch = 360;
constexpr QRect PodType{720, 840, 1815, 285};
constexpr QRect Option{240, 840, 495, 255};

// A design rectangle on the screen, in row `slot` of the pod list, for a
// window whose top-left corner is at `origin`.
QRect OnScreen(const QRect& twips, QPoint origin, int slot = 0)
{
    const double perTwip = QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440.0;
    const auto px = [&](int t) { return int(std::lround(t * perTwip)); };
    return {origin.x() + px(twips.x()), origin.y() + px(twips.y() + SlotPitch * slot), px(twips.width()),
            px(twips.height())};
}

// The colour fills the rectangle, but for a little text (`least` of it, and
// `edgeLeast` of each pixel line just inside an edge), and stops at its
// edges: the lines just outside hold none of it. The top edge is checked
// only when `top`.
void ExpectFilled(const QImage& shot, const QRect& r, const QColor& colour, double least, double edgeLeast, bool top)
{
    EXPECT_GE(Share(shot, r, colour), least) << "inside";
    const QRect edges[] = {{r.left(), r.top(), 1, r.height()},
                           {r.right(), r.top(), 1, r.height()},
                           {r.left(), r.bottom(), r.width(), 1},
                           {r.left(), r.top(), r.width(), 1}};
    const QPoint outwards[] = {{-1, 0}, {1, 0}, {0, 1}, {0, -1}};
    for (int i = 0; i < (top ? 4 : 3); ++i) {
        EXPECT_GE(Share(shot, edges[i], colour), edgeLeast) << "along edge " << i;
        EXPECT_EQ(Share(shot, edges[i].translated(outwards[i]), colour), 0.0) << "beyond edge " << i;
    }
}

// The real program on the screen of a virtual X server, started with a
// configuration file as a file manager would, on a bench of podsim's pods,
// with a pod type catalogue of its own.
TEST(WindowOnScreen, SearchesOnStartUpThenShowsThePodsInTheirRows)
{
    QTemporaryDir dir;
    PodsimProcess podsim{QStringLiteral(PODSIM_PROGRAM),
                         {"--port", "1:type=1,version=1.12,baud=38400", "--port", "2:missing", "--port", "3:empty",
                          "--port", "4:type=13,version=2.0,baud=9600"}};
    QFile file(dir.filePath("Bench1.TXF"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(testing::ConfigFileBytes(1, 200)));
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VANTELO_REGISTRY", dir.filePath("registry.reg"));
    QProcess program; // killed when it goes out of scope
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(PROGRAM), {file.fileName()});
    ASSERT_TRUE(program.waitForStarted());

    // Grabs the screen until `done` holds for a grab (30 s at most); the
    // window's part of the last one goes into the build folder either way.
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    const auto shotWhen = [&](const QString& name, const std::function<bool(const QImage&)>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        QImage shot;
        bool seen = false;
        while (!seen && program.state() == QProcess::Running && std::chrono::steady_clock::now() < deadline) {
            QThread::msleep(50);
            shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
            seen = done(shot);
        }
        const QString path = QStringLiteral(SCREENSHOT_DIR "/") + name;
        const QRect window = PaintedExtent(shot);
        (window.isEmpty() ? shot : shot.copy(window)).save(path);
        EXPECT_TRUE(seen) << "not seen on the screen; last seen: " << path.toStdString();
        return shot;
    };
    // The program's colours are this process's: the same style on the same screen.
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    const QColor base = QApplication::palette().color(QPalette::Base);

    // Through the search (COM3's time-outs make it last) the notice covers
    // the pod list and the commands, in Frame1's column.
    const auto searchPanel = [](QPoint window) { return OnScreen(SearchNotice, window); };
    const QImage searching = shotWhen("window-searching.png", [&](const QImage& shot) {
        return Share(shot, searchPanel(PaintedExtent(shot).topLeft()), highlight) > 0.8;
    });
    const QRect window = PaintedExtent(searching);
    // One column wide: Frame1 and its margins; 193 x 308 pixels at 96 dpi.
    EXPECT_EQ(window.size(), OnScreen(QRect({}, Window), {}).size());
    // The panel of the slot above may still lie over its top edge.
    ExpectFilled(searching, searchPanel(window.topLeft()), highlight, 0.8, 0.9, false);

    const QImage pods = shotWhen("window-pods.png", [&](const QImage& shot) {
        const QRect painted = PaintedExtent(shot);
        return !painted.isEmpty() && Share(shot, painted, highlight) == 0.0;
    });
    EXPECT_EQ(PaintedExtent(pods), window);
    for (int slot = 0; slot < 4; ++slot) {
        SCOPED_TRACE("COM" + std::to_string(slot + 1));
        // COM2 is missing: its row stays empty; the others show what answered.
        if (slot == 1)
            EXPECT_EQ(Share(pods, OnScreen(PodType, window.topLeft(), slot), base), 0.0);
        else
            ExpectFilled(pods, OnScreen(PodType, window.topLeft(), slot).adjusted(1, 2, -1, -1), base, 0.5, 0.8, true);
        // Only COM1's pod takes a type 1 configuration: its option button
        // alone is enabled, which fills its indicator with the base colour.
        EXPECT_EQ(Share(pods, OnScreen(Option, window.topLeft(), slot), base) > 0.0, slot == 0);
    }
}

} // namespace
} // namespace vantelo
