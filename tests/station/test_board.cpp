#include "station/StationWords.h"
#include "station/terminal/TerminalBoard.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vantelo::station {
namespace {

using namespace std::chrono_literals;

std::vector<QString> Names(int n)
{
    std::vector<QString> names;
    for (int i = 1; i <= n; ++i)
        names.push_back(QStringLiteral("COM%1").arg(i));
    return names;
}

// Each result stays on its port's line, with the operator's next move, until
// the port is seen empty; the totals count every pod.
TEST(Board, ResultsStayUntilThePodIsTakenOff)
{
    std::vector<QString> names = Names(5);
    names[4] = QStringLiteral("/dev/serial/by-id/usb-Maker_Serial_Adapter_A10KQ3ZB-if00-port0");
    StatusBoard board(names);
    const char* first = "Reply to download failed";
    const struct {
        PodResult result;
        QString expected;
        const char* colour;
    } rows[] = {{PodResult::Programmed, "programmed (0:07 ago)", "\x1b[32m"},
                {PodResult::Failed, QStringLiteral("FAILED (0:07 ago): ") + first, "\x1b[31m"},
                {PodResult::Skipped, "skipped: another type (0:07 ago)", "\x1b[33m"},
                {PodResult::Interrupted, "INTERRUPTED (0:07 ago)", "\x1b[31m"}};
    for (int i = 0; i < 4; ++i) {
        board.Pod(i, QStringLiteral("Lumo Plus 1.12"));
        board.Step(i, PodStep::Programming);
        board.Progress(i, 500);
        board.Result(i, rows[i].result, i == 1 ? first : "", 9);
        board.Phase(i, i == 2 ? PortPhase::Changed : PortPhase::TakeOff);
    }
    board.Step(4, PodStep::Programming);
    board.Progress(4, 474);
    const auto now = BoardClock::now() + 7s;
    QStringList lines = BoardLines(board.Take(), {120, 24}, true, now);
    ASSERT_EQ(lines.size(), 6);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(lines[i].contains(rows[i].colour + rows[i].expected + "\x1b[0m > ")) << lines[i].toStdString();
        EXPECT_TRUE(i == 2 ? lines[i].contains(" > POD CHANGED? ") : lines[i].endsWith(" > TAKE THE POD OFF"))
            << lines[i].toStdString();
        EXPECT_TRUE(lines[i].startsWith("COM" + QString::number(i + 1) + " ")) << lines[i].toStdString();
    }
    EXPECT_TRUE(lines[4].startsWith("~")) << "a long name keeps its end";
    EXPECT_TRUE(lines[4].endsWith(" 47.4%  0:07 left")) << lines[4].toStdString();
    PortState early;
    early.permille = 15;
    EXPECT_EQ(TimeLeft(early, early.stepStarted + 1s), "") << "no rate known yet";
    EXPECT_EQ(lines[5], "Totals: 1 programmed, 1 failed, 1 skipped, 1 interrupted, yield 33.3%");

    board.Phase(0, PortPhase::Ready);
    board.Result(2, PodResult::Skipped, {}, 9);
    const BoardSnapshot snapshot = board.Take();
    lines = BoardLines(snapshot, {80, 24}, false, now);
    EXPECT_TRUE(lines[0].endsWith(" ready: put the next pod on")) << lines[0].toStdString();
    EXPECT_FALSE(lines[0].contains("Lumo")) << "the pod went with it";
    EXPECT_EQ(lines[5], "Totals: 1 programmed, 1 failed, 2 skipped, 1 interrupted, yield 33.3%");
    lines = BoardLines(snapshot, {44, 24}, false, now);
    EXPECT_EQ(lines[5], "1 ok 2 failed 2 skipped, yield 33.3%") << "narrow: the yield stays";
}

// 32 ports on 24 rows: the pods being written and the latched results
// first, the rest counted on one line; nothing wider than the screen.
TEST(Board, MorePortsThanRowsFitTheScreen)
{
    StatusBoard board(Names(32));
    for (int i = 0; i < 32; ++i)
        board.Phase(i, i % 2 ? PortPhase::NoPod : PortPhase::Searching);
    board.Step(30, PodStep::Programming);
    board.Progress(30, 100);
    board.Result(31, PodResult::Failed, QStringLiteral("Pod not responding"), 9);
    for (const TerminalSize size : {TerminalSize{80, 24}, TerminalSize{40, 10}}) {
        const QStringList lines = BoardLines(board.Take(), size, false, BoardClock::now());
        ASSERT_EQ(lines.size(), size.rows - 1);
        EXPECT_TRUE(lines.filter("COM31 ").size() == 1 && lines.filter("COM32 ").size() == 1);
        const QString more = lines[lines.size() - 2];
        const int hidden = 32 - (size.rows - 3);
        EXPECT_TRUE(more.startsWith(QString::number(hidden) + " more ports: ")) << more.toStdString();
        for (const QString& line : lines)
            EXPECT_LE(line.size(), size.columns - 1) << line.toStdString();
    }
    EXPECT_EQ(BoardLines(board.Take(), {200, 60}, false, BoardClock::now()).size(), 33);
}

// In place: back up over the board last drawn, messages above (broken
// between words, never wider than the screen), the board again below;
// piped, one line per happening.
TEST(Board, DrawnInPlaceOnATerminalAndAsLinesWhenPiped)
{
    for (const bool terminal : {true, false}) {
        std::FILE* out = std::tmpfile();
        StatusBoard board(Names(2));
        TerminalBoard view(out, terminal, false);
        board.Phase(0, PortPhase::Searching);
        view.Draw(board.Take(), {80, 24});
        board.Event(1, QStringLiteral("Program failed, Trellin will fail to operate correctly until "
                                      "reprogrammmed, Try powering the pod off/wait/on and reprogram again"));
        view.Draw(board.Take(), {60, 24});
        view.Draw(board.Take(), {60, 24}); // nothing new: nothing drawn
        std::rewind(out);
        char buffer[4096] = {};
        const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
        std::fclose(out);
        const std::string written(buffer, n);
        if (terminal)
            EXPECT_EQ(written,
                      "COM1 searching\x1b[K\nCOM2 waiting\x1b[K\nTotals: 0 programmed, 0 failed, 0 "
                      "skipped, yield -\x1b[K\n\x1b[J\x1b[3FCOM2: Program failed, Trellin will fail to operate\x1b[K\n"
                      "correctly until reprogrammmed, Try powering the pod\x1b[K\n"
                      "off/wait/on and reprogram again\x1b[K\n"
                      "COM1 searching\x1b[K\nCOM2 waiting\x1b[K\nTotals: 0 programmed, 0 failed, 0 "
                      "skipped, yield -\x1b[K\n\x1b[J");
        else
            EXPECT_EQ(written, "COM1: searching\nCOM2: Program failed, Trellin will fail to operate correctly "
                               "until reprogrammmed, Try powering the pod off/wait/on and reprogram again\n");
    }
}

} // namespace
} // namespace vantelo::station
