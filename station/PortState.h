#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>

namespace vantelo::station {

using BoardClock = std::chrono::steady_clock;

enum class PodResult { Programmed, Failed, Skipped, Interrupted };

// Where a port is in its life.
enum class PortPhase {
    Waiting,    // its thread has not begun
    Searching,  // no poll has found the port empty or a pod on it yet
    Writing,    // a pod in hand: the step says what is done to it
    Restarting, // a result, and the pod booting after its restart
    TakeOff,    // a result: the pod may be taken off
    Changed,    // another pod answered before the port was seen empty
    Ready,      // seen empty: the next pod may go on
    NoPod,      // one pass found nobody
    Unopened,   // cannot be opened
    Stopped,    // stopped as the user asked
    Halted,     // stopped because the record cannot be written
};

// What is done to the pod in hand: the program command's steps, or the
// restart of a pod of another type, which is left alone.
enum class PodStep { Programming, MainMicro, IrMicro, SecondaryTable, Restarting };

// Pods by result: programmed, failed, skipped, interrupted.
struct Totals {
    std::array<int, 4> counts{};

    int operator[](PodResult result) const { return counts[static_cast<std::size_t>(result)]; }
    Totals& operator+=(const Totals& other);
    // Programmed over programmed, failed and interrupted; none before the first of those.
    std::optional<double> Yield() const;
};

// What one port shows.
struct PortState {
    QString name;
    QString pod; // name and version; empty while none answers
    PortPhase phase = PortPhase::Waiting;
    PodStep step = PodStep::Programming; // while writing
    int permille = -1;                   // progress of the step; below 0: none
    BoardClock::time_point stepStarted;
    // The last pod's result, kept until the port is seen empty.
    std::optional<PodResult> latched;
    QString firstMessage;
    BoardClock::time_point latchedAt;
    Totals totals;
};

// Phases that ask the operator for a hand.
bool NeedsHand(PortPhase phase);

} // namespace vantelo::station
