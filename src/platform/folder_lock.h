#pragma once
// An advisory lock over a folder that one holder at a time has. The kernel releases it
// when the holding process ends, however it ends, so a killed run never blocks the next.
#include <chrono>
#include <cstdint>
#include <string>

namespace velnor {

class FolderLock {
 public:
  enum class State { kHeld, kBusy, kUnavailable };

  // Takes the lock on the folder, waiting at most `wait` while another holder has it.
  // kBusy: another holder still has it; kUnavailable: the folder cannot be opened or
  // locked at all (error() says why).
  static FolderLock Take(const std::string& folder, std::chrono::milliseconds wait);

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();  // releases the lock

  State state() const { return state_; }
  const std::string& error() const { return error_; }

 private:
  FolderLock(State state, std::intptr_t handle, std::string error);
  // Lets go of what the system holds the lock by; each system has its own.
  static void Release(std::intptr_t handle);
  State state_;
  // What the system holds the lock by (a descriptor or a handle); -1 when nothing.
  std::intptr_t handle_;
  std::string error_;
};

}  // namespace velnor
