#include "station/StationWords.h"

#include "serial/Percent.h"

#include <algorithm>

namespace vantelo::station {

namespace {

QString MinutesSeconds(long long seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

long long SecondsBetween(BoardClock::time_point from, BoardClock::time_point to)
{
    return std::max<long long>(0, std::chrono::duration_cast<std::chrono::seconds>(to - from).count());
}

} // namespace

const char* ResultName(PodResult result)
{
    switch (result) {
    case PodResult::Programmed:
        return "programmed";
    case PodResult::Failed:
        return "failed";
    case PodResult::Skipped:
        return "skipped";
    case PodResult::Interrupted:
        return "interrupted";
    }
    return "failed";
}

std::optional<PodResult> ResultNamed(std::string_view word)
{
    for (const PodResult result :
         {PodResult::Programmed, PodResult::Failed, PodResult::Skipped, PodResult::Interrupted}) {
        if (word == ResultName(result))
            return result;
    }
    return std::nullopt;
}

QString ResultWords(PodResult result, bool shout)
{
    if (result == PodResult::Skipped)
        return QStringLiteral("skipped: another type");
    const QString words = QString::fromLatin1(ResultName(result));
    return shout && result != PodResult::Programmed ? words.toUpper() : words;
}

QString PhaseWords(PortPhase phase)
{
    switch (phase) {
    case PortPhase::Waiting:
        return QStringLiteral("waiting");
    case PortPhase::Searching:
        return QStringLiteral("searching");
    case PortPhase::Writing:
        return QStringLiteral("writing");
    case PortPhase::Restarting:
        return QStringLiteral("pod restarting, leave it on");
    case PortPhase::TakeOff:
        return QStringLiteral("take the pod off");
    case PortPhase::Changed:
        return QStringLiteral("pod changed? take it off and wait for ready");
    case PortPhase::Ready:
        return QStringLiteral("ready: put the next pod on");
    case PortPhase::NoPod:
        return QStringLiteral("no pod");
    case PortPhase::Unopened:
        return QStringLiteral("cannot be opened");
    case PortPhase::Stopped:
        return QStringLiteral("stopped");
    case PortPhase::Halted:
        return QStringLiteral("stopped: the record cannot be written");
    }
    return {};
}

QString CallWords(PortPhase phase)
{
    switch (phase) {
    case PortPhase::TakeOff:
        return QStringLiteral("TAKE OFF");
    case PortPhase::Changed:
        return QStringLiteral("POD CHANGED?");
    case PortPhase::Ready:
        return QStringLiteral("READY");
    default:
        return {};
    }
}

QString StepWords(PodStep step)
{
    switch (step) {
    case PodStep::Programming:
        return QStringLiteral("programming");
    case PodStep::MainMicro:
        return QStringLiteral("programming the main micro");
    case PodStep::IrMicro:
        return QStringLiteral("programming the IR micro");
    case PodStep::SecondaryTable:
        return QStringLiteral("secondary table");
    case PodStep::Restarting:
        return QStringLiteral("restarting");
    }
    return {};
}

QString ActivityWords(const PortState& port)
{
    return port.phase == PortPhase::Writing ? StepWords(port.step) : PhaseWords(port.phase);
}

QString StatusWords(const PortState& port)
{
    if (!port.latched)
        return ActivityWords(port);
    const QString result = ResultWords(*port.latched);
    return *port.latched == PodResult::Failed ? result + QStringLiteral(": ") + port.firstMessage : result;
}

QString LatchedWords(const PortState& port, BoardClock::time_point now)
{
    QString text = ResultWords(*port.latched, true) +
                   QStringLiteral(" (%1 ago)").arg(MinutesSeconds(SecondsBetween(port.latchedAt, now)));
    if (*port.latched == PodResult::Failed)
        text += QStringLiteral(": ") + port.firstMessage;
    return text;
}

QString PercentWords(int permille)
{
    return FormatPercent(permille);
}

QString TimeLeft(const PortState& port, BoardClock::time_point now)
{
    // Too early to tell below 1 % or in the step's first seconds.
    const long long elapsed = SecondsBetween(port.stepStarted, now);
    if (port.permille < 10 || port.permille >= 1000 || elapsed < 3)
        return {};
    return QStringLiteral("%1 left").arg(MinutesSeconds(elapsed * (1000 - port.permille) / port.permille));
}

QString YieldText(const Totals& totals)
{
    const auto yield = totals.Yield();
    return yield ? QStringLiteral("%1%").arg(*yield * 100, 0, 'f', 1) : QStringLiteral("-");
}

QString TotalsText(const Totals& totals)
{
    QString text = QStringLiteral("%1 programmed, %2 failed, %3 skipped")
                       .arg(totals[PodResult::Programmed])
                       .arg(totals[PodResult::Failed])
                       .arg(totals[PodResult::Skipped]);
    if (const int interrupted = totals[PodResult::Interrupted])
        text += QStringLiteral(", %1 interrupted").arg(interrupted);
    return text + QStringLiteral(", yield ") + YieldText(totals);
}

} // namespace vantelo::station
