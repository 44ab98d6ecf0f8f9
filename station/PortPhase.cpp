#include "station/PortPhase.h"

namespace vantelo::station {

QString PhaseWords(PortPhase phase)
{
    switch (phase) {
    case PortPhase::Waiting: return QStringLiteral("waiting");
    case PortPhase::Searching: return QStringLiteral("searching");
    case PortPhase::Writing: return QStringLiteral("writing");
    case PortPhase::Restarting: return QStringLiteral("pod restarting, leave it on");
    case PortPhase::TakeOff: return QStringLiteral("take the pod off");
    case PortPhase::Changed: return QStringLiteral("pod changed? take it off and wait for ready");
    case PortPhase::Ready: return QStringLiteral("ready: put the next pod on");
    case PortPhase::NoPod: return QStringLiteral("no pod");
    case PortPhase::Unopened: return QStringLiteral("cannot be opened");
    case PortPhase::Stopped: return QStringLiteral("stopped");
    case PortPhase::Halted: return QStringLiteral("stopped: the record cannot be written");
    }
    return {};
}

QString CallWords(PortPhase phase)
{
    switch (phase) {
    case PortPhase::TakeOff: return QStringLiteral("TAKE OFF");
    case PortPhase::Changed: return QStringLiteral("POD CHANGED?");
    case PortPhase::Ready: return QStringLiteral("READY");
    default: return {};
    }
}

QString StepWords(ProgramStep step)
{
    switch (step) {
    case ProgramStep::Pod: return QStringLiteral("programming");
    case ProgramStep::MainMicro: return QStringLiteral("programming the main micro");
    case ProgramStep::IrMicro: return QStringLiteral("programming the IR micro");
    case ProgramStep::SecondaryTable: return QStringLiteral("secondary table");
    }
    return {};
}

bool NeedsHand(PortPhase phase)
{
    return phase == PortPhase::TakeOff || phase == PortPhase::Changed || phase == PortPhase::Ready ||
           phase == PortPhase::Unopened || phase == PortPhase::Halted;
}

QString ResultWords(PodResult result, bool shout)
{
    if (result == PodResult::Skipped)
        return QStringLiteral("skipped: another type");
    const QString words = QString::fromLatin1(ResultName(result));
    return shout && result != PodResult::Programmed ? words.toUpper() : words;
}

} // namespace vantelo::station
