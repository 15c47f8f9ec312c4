#include "platform/pending_messages.h"

#include <utility>

namespace velnor {
namespace {
// The window and its messages are the process's one window and message queue, which
// long work anywhere below lets through; the clock times that throttle.
Clock* installedClock = nullptr;
std::function<void()> pendingMessagesHook;
std::chrono::steady_clock::time_point lastProcessed{};
}  // namespace

Clock* SetClock(Clock* clock) {
  Clock* previous = installedClock;
  installedClock = clock;
  return previous;
}

std::chrono::steady_clock::time_point Now() {
  return installedClock != nullptr ? installedClock->Now() : std::chrono::steady_clock::now();
}

void SetPendingMessagesHook(std::function<void()> hook) {
  pendingMessagesHook = std::move(hook);
}

void ProcessPendingMessages() {
  lastProcessed = Now();
  if (pendingMessagesHook) pendingMessagesHook();
}

void ProcessPendingMessagesNowAndThen() {
  if (!pendingMessagesHook) return;
  if (Now() - lastProcessed >= kPendingMessagesInterval) ProcessPendingMessages();
}

}  // namespace velnor
