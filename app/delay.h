#pragma once

namespace tarnwel {

// Waits until more than `ms` milliseconds have passed on a monotonic clock, handling
// window and timer events throughout; the thread sleeps between events. A negative
// wait returns at once without handling any event.
void Delay(int ms);

} // namespace tarnwel
