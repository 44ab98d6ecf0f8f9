#pragma once

#include "platform/ReplyTimer.h"

#include <memory>

namespace vantelo {

// The system's reply timer for the calling thread's protocol waits: a
// precise Qt timer, or on Windows a deadline that each wait sleeps towards
// in one system wait (WinEventWait).
std::unique_ptr<ReplyTimer> MakeReplyTimer();

} // namespace vantelo
