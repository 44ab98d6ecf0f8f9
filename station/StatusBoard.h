#pragma once

#include "station/PodRecord.h"

#include <QString>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <vector>

namespace vantelo::station {

// What a person sees: on a terminal one line per port, kept up to date in
// place, with messages scrolling above them; elsewhere one plain line per
// event. Ports' threads report; the main thread prints with Flush.
class StatusBoard {
public:
    StatusBoard(const std::vector<QString>& portNames, bool terminal, std::FILE* out);

    void Pod(int port, const QString& pod);
    void Step(int port, const QString& step); // starts its progress afresh
    void Progress(int port, int permille);
    void Event(int port, const QString& text);
    void Note(const QString& text);
    // The port's result, kept on its line until the pod is taken off.
    void Result(int port, PodResult result, const QString& firstMessage);
    // The pod was taken off: the port is empty and waiting.
    void Empty(int port);

    void Flush();
    // Programmed, failed and skipped pods per port.
    void Summary();

private:
    using Clock = std::chrono::steady_clock;
    struct Line {
        QString name;
        QString pod;
        QString step;
        int permille = -1; // none shown
        Clock::time_point started;
        int counts[4] = {}; // by PodResult
    };

    QString Render(const Line& line) const;
    void Print(const QString& text);

    std::mutex mutex_;
    std::vector<Line> lines_;
    std::vector<QString> pending_;
    bool terminal_;
    std::FILE* out_;
    int drawn_ = 0;
    bool changed_ = true;
};

} // namespace vantelo::station
