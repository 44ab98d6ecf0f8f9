#include "PodsimProcess.h"
#include "ScreenImage.h"
#include "support/ConfigFiles.h"

#include "app/Layout.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>

namespace vantelo {
namespace {

using testing::Share;

// The window is one column wide: Frame1 and its margins.
constexpr int WindowWidthTwips = 2895;

constexpr auto PollInterval = std::chrono::milliseconds(50);
constexpr auto Patience = std::chrono::seconds(30);

// A design rectangle on the screen, its container's top-left at `origin`.
QRect OnScreen(const Layout::TwipsRect& r, QPoint origin)
{
    const double pixelsPerTwip = QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440.0;
    const auto px = [&](int twips) { return int(std::lround(twips * pixelsPerTwip)); };
    return {origin.x() + px(r.left), origin.y() + px(r.top), px(r.width), px(r.height)};
}

Layout::TwipsRect Row(Layout::TwipsRect r, int slot)
{
    r.top += Layout::SlotPitch * slot;
    return r;
}

// The colour fills the rectangle, but for a little text, and stops at the
// given edges: the pixel lines just outside them hold none of it.
void ExpectFilled(const QImage& shot, const QRect& r, const QColor& colour, double least,
                  Qt::Edges edges)
{
    EXPECT_GE(Share(shot, r, colour), least) << "inside";
    const struct {
        Qt::Edge edge;
        const char* name;
        QRect strip;
    } outside[] = {
        {Qt::LeftEdge, "left", {r.left() - 1, r.top(), 1, r.height()}},
        {Qt::RightEdge, "right", {r.right() + 1, r.top(), 1, r.height()}},
        {Qt::TopEdge, "top", {r.left(), r.top() - 1, r.width(), 1}},
        {Qt::BottomEdge, "bottom", {r.left(), r.bottom() + 1, r.width(), 1}},
    };
    for (const auto& side : outside) {
        if (edges.testFlag(side.edge)) {
            EXPECT_EQ(Share(shot, side.strip, colour), 0.0) << "beyond the " << side.name
                                                            << " edge";
        }
    }
}

// The real program on the screen of a virtual X server, started with a
// configuration file as a person's file manager would, on a bench of
// podsim's pods; a fresh pod type catalogue of its own.
class WindowOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        QFile file(dir.filePath("Bench1.TXF"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(vantelo::testing::ConfigFileBytes(1, 200));
        file.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VANTELO_REGISTRY", dir.filePath("registry.reg"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(VANTELO_PROGRAM), {file.fileName()});
        ASSERT_TRUE(program.waitForStarted());
    }

    void TearDown() override
    {
        program.kill();
        program.waitForFinished();
    }

    bool Until(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + Patience;
        while (!done()) {
            if (program.state() == QProcess::NotRunning ||
                std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(PollInterval);
        }
        return true;
    }

    bool WindowShown()
    {
        return Until([] {
            QProcess xwininfo;
            xwininfo.setStandardOutputFile(QProcess::nullDevice());
            xwininfo.setStandardErrorFile(QProcess::nullDevice());
            xwininfo.start(QStringLiteral(XWININFO_PROGRAM), {"-name", VANTELO_TITLE});
            return xwininfo.waitForFinished() && xwininfo.exitCode() == 0;
        });
    }

    // Grabs the screen until `done` holds for a grab; the window's part of
    // the last one goes into the build folder either way.
    QImage ShotWhen(const QString& name, const std::function<bool(const QImage&)>& done)
    {
        QImage shot;
        const bool seen = Until([&] {
            shot = testing::GrabScreen();
            return done(shot);
        });
        const QRect window = testing::PaintedExtent(shot);
        const QString path = QStringLiteral(SCREENSHOT_DIR "/") + name;
        (window.isEmpty() ? shot : shot.copy(window)).save(path);
        EXPECT_TRUE(seen) << "not seen on the screen; last seen: " << path.toStdString();
        return shot;
    }

    QTemporaryDir dir;
    PodsimProcess podsim{QStringLiteral(PODSIM_PROGRAM),
                         {"--port", "1:type=1,version=1.12,baud=38400", "--port", "2:missing",
                          "--port", "3:empty", "--port", "4:type=13,version=2.0,baud=9600"}};
    QProcess program;
    // The program's colours are this process's: the same style on the same screen.
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    const QColor base = QApplication::palette().color(QPalette::Base);
};

TEST_F(WindowOnScreen, SearchesOnStartUpThenShowsThePodsInTheirRows)
{
    ASSERT_TRUE(WindowShown()) << "no window titled " << VANTELO_TITLE;

    // Through the search (COM3's time-outs make it last) the notice covers
    // the pod list and the commands, in Frame1's column.
    const auto searchPanel = [](QPoint window) {
        Layout::TwipsRect panel = Layout::Blanking[3];
        panel.left = Layout::Frame1.left;
        return OnScreen(panel, window);
    };
    const QImage searching = ShotWhen("window-searching.png", [&](const QImage& shot) {
        return Share(shot, searchPanel(testing::PaintedExtent(shot).topLeft()), highlight) > 0.8;
    });
    const QRect window = testing::PaintedExtent(searching);
    // 193 x 308 pixels at 96 dpi.
    EXPECT_EQ(window.size(), OnScreen({0, 0, WindowWidthTwips, Layout::ClientHeight}, {}).size());
    {
        SCOPED_TRACE("search notice");
        // The panel of the slot above may still lie over its top edge.
        ExpectFilled(searching, searchPanel(window.topLeft()), highlight, 0.8,
                     Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);
    }

    const QImage pods = ShotWhen("window-pods.png", [&](const QImage& shot) {
        const QRect painted = testing::PaintedExtent(shot);
        return !painted.isEmpty() && Share(shot, painted, highlight) == 0.0;
    });
    EXPECT_EQ(testing::PaintedExtent(pods), window);
    const QPoint podList = OnScreen(Layout::Frame2, window.topLeft()).topLeft();
    const auto podType = [&](int slot) { return OnScreen(Row(Layout::PodType, slot), podList); };
    // COM2 is missing: its row stays empty. The others show what answered.
    for (int slot : {0, 2, 3}) {
        SCOPED_TRACE("pod type of COM" + std::to_string(slot + 1));
        ExpectFilled(pods, podType(slot), base, 0.5,
                     Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge);
    }
    EXPECT_EQ(Share(pods, podType(1), base), 0.0) << "pod type of COM2";
    // Only COM1's pod takes a type 1 configuration: its option button alone
    // is enabled, which fills its indicator with the base colour.
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(Share(pods, OnScreen(Row(Layout::Option1, slot), podList), base) > 0.0, slot == 0)
            << "option button of COM" << slot + 1;
}

} // namespace
} // namespace vantelo
