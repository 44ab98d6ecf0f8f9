#pragma once

#include "serial/ProgramStep.h"
#include "station/PodRecord.h"

#include <QString>

namespace vantelo::station {

// Where a port is in its life. The terminal board, the window's tiles and the
// piped lines all say it in the words below.
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

QString PhaseWords(PortPhase phase);
// What the operator must do, short enough to read from across a bench:
// "TAKE OFF", "POD CHANGED?", "READY"; empty when nothing.
QString CallWords(PortPhase phase);

// What the program command is writing, in the station's words.
QString StepWords(ProgramStep step);

// Phases that ask the operator for a hand.
bool NeedsHand(PortPhase phase);

// A result as the views say it; failures in capitals where colour may be missing.
QString ResultWords(PodResult result, bool shout = false);

} // namespace vantelo::station
