#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include "platform/paths.h"

namespace velnor {

void FolderLock::Release(std::intptr_t handle) {
  // Closing the folder releases the lock.
  ::close(static_cast<int>(handle));
}

FolderLock FolderLock::Take(const std::string& folder, std::chrono::milliseconds wait) {
  const std::string resolved = ResolvePath(folder);
  // The folder itself carries the lock, so that no lock file is left in the project.
  const int fd = ::open(resolved.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return {State::kUnavailable, -1,
            "cannot open the folder '" + resolved + "': " + std::strerror(errno)};
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return {State::kHeld, fd, ""};
    const int error = errno;
    if (error != EWOULDBLOCK && error != EINTR) {
      ::close(fd);
      return {State::kUnavailable, -1,
              "cannot lock the folder '" + resolved + "': " + std::strerror(error)};
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return {State::kBusy, -1, "the folder '" + resolved + "' is locked by another process"};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace velnor
