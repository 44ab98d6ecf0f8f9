#pragma once

namespace vantelo {

// Ends the current thread's wait for events once the event being handled is
// done. Qt's Windows dispatcher hands a precise timer's tick, and an event
// notifier's activation, over as posted events, delivered before it blocks
// and not counted as events: without this, a wait would go on sleeping after
// them, for good on a thread that nothing else wakes.
void EndEventWait();

} // namespace vantelo
