#pragma once

#include "platform/console/TerminalSize.h"
#include "station/StatusBoard.h"

#include <QStringList>

#include <cstdio>

namespace vantelo::station {

// The board for a screen of `size`: a line per port, or with more ports than
// rows the busy and latched ones and a count of the rest; then the totals.
// No line is wider than the screen. With `colour`, results are green, red or
// yellow.
QStringList BoardLines(const BoardSnapshot& board, TerminalSize size, bool colour, BoardClock::time_point now);

// The station's board as a terminal shows it: its lines kept up to date in
// place, with messages scrolling above them. Where output is not a terminal,
// one plain line per happening instead.
class TerminalBoard {
public:
    TerminalBoard(std::FILE* out, bool terminal, bool colour);

    void Draw(const BoardSnapshot& board, TerminalSize size);
    // Each port's pods by result, the totals, and `status` (why the exit
    // status is what it is) when not empty.
    void Summary(const BoardSnapshot& board, const QString& status);

private:
    void Print(const QString& text);

    std::FILE* out_;
    bool terminal_;
    bool colour_;
    QStringList drawn_;
};

} // namespace vantelo::station
