#pragma once

#include "station/PortState.h"

#include <QString>

#include <array>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

namespace vantelo::station {

// Something that happened: a message shown (its port's, or the station's
// own when `port` is below 0), or a port's new step, phase or result.
struct Happening {
    int port = -1;
    QString text;
    bool message = true;
};

struct BoardSnapshot {
    std::vector<PortState> ports;
    std::vector<Happening> happenings; // since the last snapshot
    Totals totals;                     // of every port
};

// The state of every port of the station. Ports' threads report into it;
// views take a copy under a short lock and draw from the copy.
class StatusBoard {
public:
    explicit StatusBoard(const std::vector<QString>& portNames);

    void Pod(int port, const QString& pod);
    // Ready forgets the pod and its result; Halted its result, which no
    // longer stands for the port.
    void Phase(int port, PortPhase phase);
    void Step(int port, PodStep step); // writing; starts its progress afresh
    void Progress(int port, int permille);
    void Event(int port, const QString& text);
    void Note(const QString& text);
    // Latched, with the pod's first message, until Ready; the pod restarts.
    void Result(int port, PodResult result, const QString& firstMessage, double seconds);

    // Whether the port shows a pod's result: that pod is still on it.
    bool Latched(int port);

    // Every port, and what happened since the last call.
    BoardSnapshot Take();

private:
    void Said(int index, const QString& text); // a line for pipes, not a message

    std::mutex mutex_;
    std::vector<PortState> ports_;
    std::vector<Happening> happenings_;
};

} // namespace vantelo::station
