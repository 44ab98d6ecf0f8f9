#pragma once

#include "station/PortState.h"

#include <QString>

#include <optional>
#include <string_view>

// The station's words, the same on the terminal, on the window's tiles, in
// piped lines and in the record.
namespace vantelo::station {

// The result as the record keeps it: "programmed", "failed", ...
const char* ResultName(PodResult result);
// The result a record's word names; nothing for any other word.
std::optional<PodResult> ResultNamed(std::string_view word);
// A result as the views say it; failures in capitals where colour may be missing.
QString ResultWords(PodResult result, bool shout = false);

QString PhaseWords(PortPhase phase);
// What the operator must do, short enough to read from across a bench:
// "TAKE OFF", "POD CHANGED?", "READY"; empty when nothing.
QString CallWords(PortPhase phase);
QString StepWords(PodStep step);

// What the port is doing: its step while writing, else its phase.
QString ActivityWords(const PortState& port);
// The port's state in a few words: what it is doing, or its latched result
// (a failure with its first message).
QString StatusWords(const PortState& port);
// The latched result and how long ago it came: "FAILED (0:07 ago): ...".
QString LatchedWords(const PortState& port, BoardClock::time_point now);

// The step's progress, "47.4%".
QString PercentWords(int permille);
// How long the port's step has left at its pace so far, "0:07 left"; empty
// while too little is done to tell, or none is to be done.
QString TimeLeft(const PortState& port, BoardClock::time_point now);
// The yield, "93.8%"; "-" before there is one.
QString YieldText(const Totals& totals);
// The totals as the board and the summary say them, with the yield.
QString TotalsText(const Totals& totals);

} // namespace vantelo::station
