#pragma once

#include "station/PortState.h"

#include <QString>

#include <chrono>
#include <optional>

namespace vantelo::station {

// Whether the port still holds the pod last taken, without guessing how long
// a pod boots. After a restart the pod is deaf until it has booted, so its
// silence tells nothing until it has answered again or the boot limit has
// passed; from then on one silent poll is a missed probe and two in a row
// mean the pod was taken off. Until then whatever answers is that pod.
class PodPresence {
public:
    using Time = std::chrono::nanoseconds;
    static constexpr Time DefaultBootLimit = std::chrono::seconds(15);

    explicit PodPresence(Time bootLimit = DefaultBootLimit) : bootLimit_(bootLimit) {}

    // A poll that began at `began` found a pod of this type and version:
    // true when the port was seen empty before, so it is a new one to take.
    bool Answered(int type, const QString& version, Time began);
    // The pod was restarted at `when`: deaf while it boots.
    void Restarted(Time when);
    // A poll that began at `began` found nobody.
    void Silent(Time began);
    // The port was lost: whatever answers next is new.
    void Forget();
    // A pod with its result is on the port (from a run before): whatever
    // answers first is that pod.
    void Keep() { pod_ = Held{}; }

    // The next poll need not wait: the pod's silence would count.
    bool Listening(Time now) const { return pod_ && Settled(now); }
    // When a pod silent since its restart is past the boot limit; none when
    // there is no such pod.
    std::optional<Time> LimitAt() const;
    // What the port shows, as of `now`.
    PortPhase Phase(Time now) const;

private:
    struct Held {
        int type = -1; // -1: not heard yet
        QString version;
    };
    bool Settled(Time when) const;

    Time bootLimit_;
    std::optional<Held> pod_;
    bool seenEmpty_ = false;
    bool changed_ = false;
    bool answeredSinceRestart_ = true;
    Time restarted_{};
    int silentPolls_ = 0;
};

} // namespace vantelo::station
