#include "station/StatusBoard.h"

#include "station/StationWords.h"

namespace vantelo::station {

StatusBoard::StatusBoard(const std::vector<QString>& portNames)
{
    for (const QString& name : portNames)
        ports_.push_back({name, {}, PortPhase::Waiting, PodStep::Programming, -1, BoardClock::now(), {}, {}, {}, {}});
}

void StatusBoard::Pod(int port, const QString& pod)
{
    const std::lock_guard lock(mutex_);
    ports_[port].pod = pod;
}

void StatusBoard::Said(int index, const QString& text)
{
    const PortState& port = ports_[index];
    const QString pod = port.pod.isEmpty() ? QString() : port.pod + QStringLiteral(": ");
    happenings_.push_back({index, port.name + QStringLiteral(": ") + pod + text, false});
}

void StatusBoard::Phase(int port, PortPhase phase)
{
    const std::lock_guard lock(mutex_);
    PortState& state = ports_[port];
    if (state.phase == phase)
        return;
    state.phase = phase;
    state.permille = -1;
    if (phase == PortPhase::Ready || phase == PortPhase::Halted) {
        state.latched.reset();
        state.firstMessage.clear();
    }
    if (phase == PortPhase::Ready)
        state.pod.clear();
    Said(port, PhaseWords(phase));
}

void StatusBoard::Step(int port, PodStep step)
{
    const std::lock_guard lock(mutex_);
    PortState& state = ports_[port];
    if (state.phase == PortPhase::Writing && state.step == step)
        return;
    state.phase = PortPhase::Writing;
    state.step = step;
    state.permille = -1;
    state.stepStarted = BoardClock::now();
    Said(port, StepWords(step));
}

void StatusBoard::Progress(int port, int permille)
{
    const std::lock_guard lock(mutex_);
    PortState& state = ports_[port];
    // A progress that starts again (the next micro's image) times afresh.
    if (state.permille < 0 || permille < state.permille)
        state.stepStarted = BoardClock::now();
    state.permille = permille;
}

void StatusBoard::Event(int port, const QString& text)
{
    const std::lock_guard lock(mutex_);
    happenings_.push_back({port, ports_[port].name + QStringLiteral(": ") + text});
}

void StatusBoard::Note(const QString& text)
{
    const std::lock_guard lock(mutex_);
    happenings_.push_back({-1, text});
}

void StatusBoard::Result(int port, PodResult result, const QString& firstMessage, double seconds)
{
    const std::lock_guard lock(mutex_);
    PortState& state = ports_[port];
    ++state.totals.counts[static_cast<std::size_t>(result)];
    state.latched = result;
    state.firstMessage = firstMessage;
    state.latchedAt = BoardClock::now();
    state.permille = -1;
    state.phase = PortPhase::Restarting;
    Said(port, QStringLiteral("%1, %2 s").arg(ResultWords(result, true)).arg(seconds, 0, 'f', 1) +
                   (firstMessage.isEmpty() ? QString() : QStringLiteral(": ") + firstMessage));
}

bool StatusBoard::Latched(int port)
{
    const std::lock_guard lock(mutex_);
    return ports_[port].latched.has_value();
}

BoardSnapshot StatusBoard::Take()
{
    BoardSnapshot snapshot;
    {
        const std::lock_guard lock(mutex_);
        snapshot.ports = ports_;
        snapshot.happenings.swap(happenings_);
    }
    for (const PortState& port : snapshot.ports)
        snapshot.totals += port.totals;
    return snapshot;
}

} // namespace vantelo::station
