#include "station/terminal/TerminalBoard.h"

#include "platform/console/Console.h"
#include "station/StationWords.h"

#include <algorithm>
#include <map>

namespace vantelo::station {

namespace {

constexpr const char* ClearLine = "\x1b[K";
constexpr const char* ClearBelow = "\x1b[J";
constexpr const char* Normal = "\x1b[0m";

// Cut to `width` characters; a long port name keeps its end, which tells
// one device from the next.
QString Fit(const QString& text, int width, bool keepEnd = false)
{
    if (width <= 0)
        return {};
    if (text.size() <= width)
        return text;
    return keepEnd ? u'~' + text.right(width - 1) : text.left(width - 1) + u'~';
}

const char* ResultColour(PodResult result)
{
    switch (result) {
    case PodResult::Programmed:
        return "\x1b[32m";
    case PodResult::Skipped:
        return "\x1b[33m";
    default:
        return "\x1b[31m";
    }
}

QString ProgressText(const PortState& port, BoardClock::time_point now)
{
    const QString left = TimeLeft(port, now);
    return PercentWords(port.permille).rightJustified(6) + (left.isEmpty() ? QString() : QStringLiteral("  ") + left);
}

// A message in lines of at most `width`, broken between words where it can:
// the terminal must never wrap a line itself, or the board loses its place.
QStringList Wrap(const QString& text, int width)
{
    QStringList lines;
    QString rest = text;
    while (rest.size() > width) {
        qsizetype cut = rest.lastIndexOf(u' ', width);
        if (cut <= 0)
            cut = width;
        lines << rest.left(cut);
        rest = rest.mid(cut).trimmed();
    }
    return lines << rest;
}

struct Columns {
    int name;
    int pod;
};

QString PortLine(const PortState& port, Columns columns, int width, bool colour, BoardClock::time_point now)
{
    QString line = Fit(port.name, columns.name, true).leftJustified(columns.name) + u' ';
    if (columns.pod > 0)
        line += Fit(port.pod, columns.pod).leftJustified(columns.pod) + u' ';
    int rest = width - int(line.size());
    // The operator's next move first: a long failure message must not hide it.
    const bool call = port.phase == PortPhase::TakeOff || port.phase == PortPhase::Changed;
    if (port.latched) {
        const QString move = call ? QStringLiteral(" > ") + PhaseWords(port.phase).toUpper() : QString();
        const QString result = LatchedWords(port, now);
        const QString text = Fit(result, std::max(rest - int(move.size()), std::min(int(result.size()), rest / 2)));
        rest -= int(text.size());
        return (colour ? line + QLatin1String(ResultColour(*port.latched)) + text + QLatin1String(Normal)
                       : line + text) +
               Fit(move, rest);
    }
    const QString words = ActivityWords(port);
    if (port.permille < 0)
        return (line + Fit(call ? words.toUpper() : words, rest)).trimmed();
    const QString progress = ProgressText(port, now);
    const int stepWidth = rest - int(progress.size()) - 2;
    if (stepWidth < 1)
        return line + Fit(progress, rest);
    return line + Fit(words, stepWidth).leftJustified(stepWidth) + QStringLiteral("  ") + progress;
}

// Worth a line of its own when not every port fits: a port that needs a
// hand first, then a pod being written, then a latched result, then any pod.
int Interest(const PortState& port)
{
    if (NeedsHand(port.phase) && port.phase != PortPhase::Ready)
        return 0;
    if (port.permille >= 0 && !port.latched)
        return 1;
    if (port.latched)
        return *port.latched == PodResult::Programmed ? 3 : 2;
    return port.pod.isEmpty() ? 5 : 4;
}

} // namespace

QStringList BoardLines(const BoardSnapshot& board, TerminalSize size, bool colour, BoardClock::time_point now)
{
    // The last column stays free: a line that fills it wraps on some terminals.
    const int width = std::max(size.columns - 1, 1);
    int longestName = 0, longestPod = 0;
    for (const PortState& port : board.ports) {
        longestName = std::max(longestName, int(port.name.size()));
        longestPod = std::max(longestPod, int(port.pod.size()));
    }
    const Columns columns{std::min(longestName, std::max(6, width / 4)), std::min(longestPod, width / 4)};

    // The totals and the line the cursor rests on take two rows.
    const std::size_t room = std::size_t(std::max(size.rows - 2, 1));
    std::vector<std::size_t> shown(board.ports.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = i;
    std::vector<std::size_t> hidden;
    if (shown.size() > room) {
        std::stable_sort(shown.begin(), shown.end(), [&](std::size_t a, std::size_t b) {
            return Interest(board.ports[a]) < Interest(board.ports[b]);
        });
        hidden.assign(shown.begin() + std::ptrdiff_t(room - 1), shown.end());
        shown.resize(room - 1);
        std::sort(shown.begin(), shown.end());
    }

    QStringList lines;
    for (std::size_t i : shown)
        lines << PortLine(board.ports[i], columns, width, colour, now);
    if (!hidden.empty()) {
        std::map<QString, int> steps;
        for (std::size_t i : hidden)
            ++steps[ActivityWords(board.ports[i])];
        QStringList counts;
        for (const auto& [step, n] : steps)
            counts << QStringLiteral("%1 %2").arg(n).arg(step);
        lines << Fit(QStringLiteral("%1 more ports: %2").arg(hidden.size()).arg(counts.join(QStringLiteral(", "))),
                     width);
    }
    // A narrow screen keeps the yield: the counts are shortened first.
    QString totals = QStringLiteral("Totals: ") + TotalsText(board.totals);
    if (totals.size() > width) {
        totals = QStringLiteral("%1 ok %2 failed %3 skipped, yield %4")
                     .arg(board.totals[PodResult::Programmed])
                     .arg(board.totals[PodResult::Failed] + board.totals[PodResult::Interrupted])
                     .arg(board.totals[PodResult::Skipped])
                     .arg(YieldText(board.totals));
    }
    lines << Fit(totals, width);
    return lines;
}

TerminalBoard::TerminalBoard(std::FILE* out, bool terminal, bool colour)
    : out_(out), terminal_(terminal), colour_(colour && terminal)
{
}

void TerminalBoard::Print(const QString& text)
{
    // A closed output (the reader gone) is no reason to stop programming.
    WriteText(out_, text);
}

void TerminalBoard::Draw(const BoardSnapshot& board, TerminalSize size)
{
    QString text;
    if (!terminal_) {
        for (const Happening& happening : board.happenings)
            text += happening.text + u'\n';
        if (!text.isEmpty())
            Print(text);
        return;
    }
    const QStringList lines = BoardLines(board, size, colour_, BoardClock::now());
    const bool messages = std::ranges::any_of(board.happenings, &Happening::message);
    if (!messages && lines == drawn_)
        return;
    // Back to the board's first line; messages take its place and the board
    // is drawn again below them.
    if (!drawn_.isEmpty())
        text = QStringLiteral("\x1b[%1F").arg(drawn_.size());
    for (const Happening& happening : board.happenings)
        if (happening.message)
            for (const QString& line : Wrap(happening.text, std::max(size.columns - 1, 1)))
                text += line + QLatin1String(ClearLine) + u'\n';
    for (const QString& line : lines)
        text += line + QLatin1String(ClearLine) + u'\n';
    Print(text + QLatin1String(ClearBelow));
    drawn_ = lines;
}

void TerminalBoard::Summary(const BoardSnapshot& board, const QString& status)
{
    Draw(board, StandardOutputTerminalSize());
    QString text;
    for (const PortState& port : board.ports)
        text += port.name + QStringLiteral(": ") + TotalsText(port.totals) + u'\n';
    Print(text + QStringLiteral("Totals: ") + TotalsText(board.totals) + u'\n' +
          (status.isEmpty() ? QString() : status + u'\n'));
}

} // namespace vantelo::station
