#pragma once
// Letting the window process its pending messages during long work. The window
// installs the hook; without a window it does nothing.
#include <chrono>
#include <functional>

namespace velnor {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::steady_clock::time_point Now() = 0;
};

// Installs the clock (nullptr restores the steady clock); returns the previous one.
Clock* SetClock(Clock* clock);
std::chrono::steady_clock::time_point Now();

void SetPendingMessagesHook(std::function<void()> hook);

// Processes pending window messages now.
void ProcessPendingMessages();

// Processes pending window messages at most once per interval: the work calls it per
// value or row, where processing every time would cost more than the work itself.
void ProcessPendingMessagesNowAndThen();

inline constexpr std::chrono::milliseconds kPendingMessagesInterval{50};

}  // namespace velnor
