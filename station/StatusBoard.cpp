#include "station/StatusBoard.h"

namespace vantelo::station {

namespace {

// Clears from the cursor to the end of the line.
constexpr const char* ClearLine = "\x1b[K";

QString MinutesSeconds(long long seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

StatusBoard::StatusBoard(const std::vector<QString>& portNames, bool terminal, std::FILE* out)
    : terminal_(terminal), out_(out)
{
    for (const QString& name : portNames)
        lines_.push_back({name, {}, QStringLiteral("waiting"), -1, Clock::now(), {}});
}

void StatusBoard::Pod(int port, const QString& pod)
{
    const std::lock_guard lock(mutex_);
    lines_[port].pod = pod;
    changed_ = true;
}

void StatusBoard::Step(int port, const QString& step)
{
    const std::lock_guard lock(mutex_);
    Line& line = lines_[port];
    if (line.step == step)
        return;
    line.step = step;
    line.permille = -1;
    line.started = Clock::now();
    changed_ = true;
    if (!terminal_)
        pending_.push_back(line.name + QStringLiteral(": ") +
                           (line.pod.isEmpty() ? QString() : line.pod + QStringLiteral(": ")) + step);
}

void StatusBoard::Progress(int port, int permille)
{
    const std::lock_guard lock(mutex_);
    Line& line = lines_[port];
    if (line.permille < 0 || permille < line.permille)
        line.started = Clock::now();
    line.permille = permille;
    changed_ = true;
}

void StatusBoard::Event(int port, const QString& text)
{
    const std::lock_guard lock(mutex_);
    pending_.push_back(lines_[port].name + QStringLiteral(": ") + text);
}

void StatusBoard::Note(const QString& text)
{
    const std::lock_guard lock(mutex_);
    pending_.push_back(text);
}

void StatusBoard::Result(int port, PodResult result, const QString& firstMessage)
{
    switch (result) {
    case PodResult::Failed:
        Step(port, QStringLiteral("FAILED: ") + firstMessage);
        break;
    case PodResult::Skipped:
        Step(port, QStringLiteral("skipped: not of the configuration's type"));
        break;
    default:
        Step(port, QString::fromLatin1(ResultName(result)));
    }
    const std::lock_guard lock(mutex_);
    ++lines_[port].counts[static_cast<int>(result)];
}

void StatusBoard::Empty(int port)
{
    Pod(port, {});
    Step(port, QStringLiteral("empty, waiting"));
}

QString StatusBoard::Render(const Line& line) const
{
    QString text = QStringLiteral("%1 %2 %3").arg(line.name, -14).arg(line.pod, -22).arg(line.step, -36);
    if (line.permille < 0)
        return text.trimmed();
    text += QStringLiteral("%1%").arg(line.permille / 10.0, 5, 'f', 1);
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - line.started).count();
    if (line.permille >= 10 && line.permille < 1000)
        text += QStringLiteral("  %1 left").arg(MinutesSeconds(elapsed * (1000 - line.permille) / line.permille));
    return text;
}

void StatusBoard::Print(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), out_);
}

void StatusBoard::Flush()
{
    const std::lock_guard lock(mutex_);
    if (!terminal_) {
        for (const QString& text : pending_)
            Print(text + u'\n');
        pending_.clear();
        std::fflush(out_);
        return;
    }
    if (pending_.empty() && !changed_)
        return;
    // Back to the first port line; messages take its place and the port
    // lines are drawn again below them.
    QString screen = drawn_ > 0 ? QStringLiteral("\x1b[%1F").arg(drawn_) : QString();
    for (const QString& text : pending_)
        screen += text + QLatin1String(ClearLine) + u'\n';
    for (const Line& line : lines_)
        screen += Render(line) + QLatin1String(ClearLine) + u'\n';
    Print(screen);
    std::fflush(out_);
    pending_.clear();
    drawn_ = static_cast<int>(lines_.size());
    changed_ = false;
}

void StatusBoard::Summary()
{
    Flush();
    const std::lock_guard lock(mutex_);
    for (const Line& line : lines_) {
        const int* n = line.counts;
        QString text = QStringLiteral("%1: %2 programmed, %3 failed, %4 skipped")
                           .arg(line.name)
                           .arg(n[static_cast<int>(PodResult::Programmed)])
                           .arg(n[static_cast<int>(PodResult::Failed)])
                           .arg(n[static_cast<int>(PodResult::Skipped)]);
        if (const int interrupted = n[static_cast<int>(PodResult::Interrupted)])
            text += QStringLiteral(", %1 interrupted").arg(interrupted);
        Print(text + u'\n');
    }
    std::fflush(out_);
}

} // namespace vantelo::station
