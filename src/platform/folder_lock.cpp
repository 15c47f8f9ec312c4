#include "platform/folder_lock.h"

#include <utility>

namespace velnor {

FolderLock::FolderLock(State state, std::intptr_t handle, std::string error)
    : state_(state), handle_(handle), error_(std::move(error)) {}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : state_(other.state_),
      handle_(std::exchange(other.handle_, -1)),
      error_(std::move(other.error_)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) Release(handle_);
    state_ = other.state_;
    handle_ = std::exchange(other.handle_, -1);
    error_ = std::move(other.error_);
  }
  return *this;
}

FolderLock::~FolderLock() {
  if (handle_ != -1) Release(handle_);
}

}  // namespace velnor
