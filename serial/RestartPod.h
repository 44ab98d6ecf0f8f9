#pragma once

namespace vantelo {

struct PodLink;

// Commands the pod to restart. False, after telling the user, when four
// attempts were not acknowledged.
bool RestartPod(PodLink& link);

} // namespace vantelo
