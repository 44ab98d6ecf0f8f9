#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/Within.h"

#include "catalogue/RegisterPod.h"
#include "config/PodFile.h"
#include "station/window/BoardView.h"
#include "station/window/StationWindow.h"
#include "station/window/WindowSettings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vantelo::station {
namespace {

using namespace std::chrono_literals;
using testing::Within;

QString Text(const QWidget& tile, const char* part)
{
    const auto* label = tile.findChild<QLabel*>(QLatin1String(part));
    return label ? label->text() : QStringLiteral("<none>");
}

// Each port's tile, found by its port's name, shows its pod and its result,
// coloured by what happened, until the pod is taken off; the totals count
// every pod since Start.
TEST(StationTiles, EachResultStaysOnItsTileUntilThePodIsTakenOff)
{
    const std::vector<QString> names{"COM1", "COM2", "COM3", "COM4", "COM5", "/dev/ttyUSB0", "COM7"};
    StatusBoard board(names);
    BoardView view;
    view.SetPorts(names);
    const struct {
        std::optional<PodResult> result;
        std::optional<PodStep> step;
        const char* status;
        const char* look;
    } rows[] = {{PodResult::Programmed, PodStep::Programming, "programmed", "programmed"},
                {PodResult::Failed, PodStep::Programming, "failed: Reply to download failed", "failed"},
                {PodResult::Skipped, PodStep::Restarting, "skipped: another type", "skipped"},
                {PodResult::Interrupted, PodStep::Programming, "interrupted", "failed"},
                {{}, PodStep::Programming, "programming", "busy"},
                {{}, {}, "cannot be opened", "unopened"},
                {{}, {}, "no pod", "empty"}};
    for (int i = 0; i < 7; ++i) {
        if (i < 5)
            board.Pod(i, QStringLiteral("Lumo Plus 1.12"));
        if (rows[i].step)
            board.Step(i, *rows[i].step);
        else
            board.Phase(i, i == 5 ? PortPhase::Unopened : PortPhase::NoPod);
        if (i < 5)
            board.Progress(i, 474);
        if (rows[i].result) {
            board.Result(i, *rows[i].result, QStringLiteral("Reply to download failed"), 9);
            board.Phase(i, PortPhase::TakeOff);
        }
    }
    const auto now = BoardClock::now() + 7s;
    view.Show(board.Take(), now - 30min, now);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const auto* tile = view.findChild<QFrame*>(names[i]);
        ASSERT_TRUE(tile);
        EXPECT_EQ(tile->accessibleName(), names[i]);
        EXPECT_EQ(Text(*tile, "port"), names[i]);
        EXPECT_EQ(Text(*tile, "pod"), i < 5 ? "Lumo Plus 1.12" : "no pod");
        EXPECT_EQ(Text(*tile, "status"), rows[i].status);
        EXPECT_EQ(tile->property("look").toString(), rows[i].look);
        EXPECT_EQ(Text(*tile, "call"), rows[i].result ? "TAKE OFF" : "");
        const auto* bar = tile->findChild<QProgressBar*>();
        EXPECT_EQ(!bar->isHidden(), i == 4);
    }
    const auto* writing = view.findChild<QFrame*>("COM5");
    EXPECT_EQ(writing->findChild<QProgressBar*>()->text(), "47.4%");
    EXPECT_EQ(Text(*writing, "left"), "0:07 left");
    // 1 programmed in half an hour.
    EXPECT_EQ(Text(view, "totals"),
              "Totals: 1 programmed, 1 failed, 1 skipped, 1 interrupted, yield 33.3%; 2 programmed per hour");

    board.Phase(0, PortPhase::Ready);
    view.Show(board.Take(), now - 30min, now);
    const auto* taken = view.findChild<QFrame*>("COM1");
    EXPECT_EQ(Text(*taken, "status"), "ready: put the next pod on");
    EXPECT_EQ(Text(*taken, "call"), "READY");
    EXPECT_EQ(Text(*taken, "pod"), "no pod");
    EXPECT_EQ(taken->property("look").toString(), "empty");

    // Tiles stay in their ports' order while all fit; when not, those that
    // need a hand (a result to take off, a port not opened) come first.
    view.show();
    const auto fifth = [&](int height) {
        view.resize(400, height);
        QCoreApplication::processEvents();
        view.Show(board.Take(), now - 30min, now);
        return view.findChild<QGridLayout*>()->itemAt(4)->widget()->objectName();
    };
    EXPECT_EQ(fifth(3000), "COM5");
    EXPECT_EQ(fifth(200), "/dev/ttyUSB0");
    EXPECT_EQ(fifth(3000), "COM5");
}

// 32 ports, their names long, on the 1366 x 768 screen of a bench PC (the
// window maximised there leaves its tiles some 540 pixels; 470 here): every
// tile shows, in its port's place, whatever its words and the font; none is
// narrower than 160 pixels, its call whole, no word under 9 pt (or the
// window's font where smaller).
TEST(StationTiles, ThirtyTwoPortsFitABenchScreen)
{
    std::vector<QString> names;
    for (int n = 1; n <= 32; ++n)
        names.push_back(QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KQ%1-if00-port0").arg(n));
    StatusBoard board(names);
    const PortPhase phases[] = {PortPhase::Changed, PortPhase::TakeOff, PortPhase::Ready, PortPhase::Unopened};
    for (int i = 0; i < 32; ++i) {
        board.Pod(i, QStringLiteral("Lumo Plus 1.12"));
        if (i % 5 == 4) {
            board.Step(i, PodStep::MainMicro);
            board.Progress(i, 474);
            continue;
        }
        board.Result(i, PodResult::Failed, QStringLiteral("Program failed, Trellin will fail to operate correctly"), 9);
        board.Phase(i, phases[i % 4]);
    }
    BoardView view;
    view.SetPorts(names);
    view.resize(1366, 470);
    view.show();
    QCoreApplication::processEvents();
    const auto now = BoardClock::now();
    view.Show(board.Take(), now, now);
    QCoreApplication::processEvents();
    const auto* scroll = view.findChild<QScrollArea*>();
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0) << "all rows fit";
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(view.findChild<QGridLayout*>()->itemAt(0)->widget()->objectName(), names[0]) << "in port order";
    const double legible = std::min(9.0, view.font().pointSizeF());
    for (const auto* tile : view.findChildren<QFrame*>()) {
        if (tile->property("look").isValid()) {
            EXPECT_GE(tile->width(), 160);
            const auto* call = tile->findChild<QLabel*>("call");
            EXPECT_GE(call->width(), call->fontMetrics().horizontalAdvance(call->text())) << call->text().toStdString();
            for (const auto* label : tile->findChildren<QLabel*>())
                EXPECT_GE(label->font().pointSizeF(), legible);
        }
    }
}

// Load refuses a file with the window's texts and shows the one it takes;
// while ports run the file cannot change; Stop once lets the ports finish,
// twice stops them at once.
// Two benches' daily files side by side in one shared folder, whatever their names.
TEST(StationWindow, DailyRecordCarriesTheStationsName)
{
    EXPECT_EQ(DailyRecord("/shared", "Bench 1/left", QDate(2026, 12, 7)),
              "/shared/records-Bench_1_left-2026-12-07.jsonl");
    EXPECT_EQ(DailyRecord("/shared", "prüf-2.a", QDate(2026, 1, 2)), "/shared/records-prüf-2.a-2026-01-02.jsonl");
}

TEST(StationWindow, LoadsStartsAndStopsOnceThenAtOnce)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    testing::ScriptedFileDialog files;
    testing::ScriptedMsgBox boxes;
    testing::ScriptedTextPrompt prompts;
    QString error;
    const auto ports = ParsePorts({dir.filePath("ttyA"), dir.filePath("ttyB")}, error);
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    StationWindow window(podTypes, {*ports, dir.filePath("record.jsonl"), {}}, settings, files, boxes, prompts);
    const auto button = [&](const char* name) { return window.findChild<QPushButton*>(name); };
    EXPECT_EQ(Text(window, "file"), "Load a configuration file to start");

    const QString shortFile = dir.filePath("Short.TXF");
    ASSERT_TRUE(testing::WriteFile(shortFile, testing::ConfigFileBytes(1, 200, 0, 100).toStdString()));
    files.answers = {shortFile};
    QTest::keyClick(button("Load"), Qt::Key_Return); // Enter presses the focused button
    ASSERT_EQ(boxes.Texts(), std::vector<QString>{"Error!: " + PodFileRefusal(shortFile, {PodFileFault::TooShort})});
    EXPECT_EQ(files.calls[0].filter, PodFileFilter);
    EXPECT_FALSE(button("Start")->isEnabled());

    const QByteArray bytes = testing::ConfigFileBytes(1, 200);
    ASSERT_TRUE(testing::WriteFile(dir.filePath("Bench1.TXF"), bytes.toStdString()));
    files.answers = {dir.filePath("Bench1.TXF")};
    button("Load")->click();
    const QString sha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(12);
    EXPECT_EQ(Text(window, "file"), "Bench1.TXF   " + PodTypeName(podTypes, 1) + "   SHA-256 " + sha);

    button("Start")->click();
    EXPECT_FALSE(button("Load")->isEnabled());
    EXPECT_FALSE(button("Start")->isEnabled());
    ASSERT_TRUE(Within(
        [&] {
            const auto* tile = window.findChild<QFrame*>(ports->back().name);
            return tile && tile->property("look") == "unopened";
        },
        5s));
    EXPECT_TRUE(Text(window, "record").endsWith("record.jsonl"));

    button("Stop")->click();
    EXPECT_EQ(button("Stop")->accessibleName(), "Stop at once");
    const auto* messages = window.findChild<QPlainTextEdit*>();
    ASSERT_TRUE(Within([&] { return messages->toPlainText().contains("finished first"); }, 5s));
    EXPECT_FALSE(messages->toPlainText().contains("Stopping at once.")) << "the ports finish first";
    button("Stop")->click();
    ASSERT_TRUE(Within([&] { return !window.Running(); }, 1500ms));
    EXPECT_TRUE(messages->toPlainText().contains("Stopping at once."));
    EXPECT_TRUE(button("Load")->isEnabled() && button("Start")->isEnabled());
    EXPECT_EQ(button("Stop")->accessibleName(), "Stop");
    EXPECT_FALSE(button("Stop")->isEnabled());
}

} // namespace
} // namespace vantelo::station
