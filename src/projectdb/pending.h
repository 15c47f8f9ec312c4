#pragma once
#include "platform/pending_messages.h"

namespace velnor {

// Loops over every value of a table let the window process its messages through this.
// The throttled call reads the clock, which costs more than handling one value, so
// only every 64th call goes through: 64 values take microseconds, far below the
// throttle's interval.
inline void LetWindowProcessMessages() {
  // Process-wide, as the window's messages are; it only thins the calls and feeds no
  // result.
  static unsigned calls = 0;
  if (++calls % 64 == 0) ProcessPendingMessagesNowAndThen();
}

}  // namespace velnor
