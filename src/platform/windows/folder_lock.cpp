#include "platform/folder_lock.h"

#include <thread>
#include <utility>

#include "platform/paths.h"
#include "platform/windows/wide.h"

namespace velnor {
namespace {

// Windows locks byte ranges of files, not folders, so the lock is a file in the folder
// that one process at a time can open. The system deletes it when its handle closes,
// which it does for a process that ends in any way, so nothing is left behind.
constexpr std::string_view kLockFileName = ".velnor-lock";

}  // namespace

void FolderLock::Release(std::intptr_t handle) {
  // Closing the lock file's handle releases the lock and deletes the file.
  ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

FolderLock FolderLock::Take(const std::string& folder, std::chrono::milliseconds wait) {
  const std::string resolved = ResolvePath(folder);
  if (!FolderExists(resolved)) {
    return {State::kUnavailable, -1, "cannot open the folder '" + resolved + "'"};
  }
  const std::wstring lockFile = windows::Widen(JoinPath(resolved, kLockFileName));
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    const HANDLE handle = ::CreateFileW(
        lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      return {State::kHeld, reinterpret_cast<std::intptr_t>(handle), ""};
    }
    const DWORD error = ::GetLastError();
    // Another holder has the file open; a file whose holder just closed it is being
    // deleted and refuses access for that moment.
    const bool mayPass = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
    if (mayPass && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      continue;
    }
    if (error == ERROR_SHARING_VIOLATION) {
      return {State::kBusy, -1, "the folder '" + resolved + "' is locked by another process"};
    }
    return {State::kUnavailable, -1,
            "cannot lock the folder '" + resolved + "': " + windows::ErrorText(error)};
  }
}

}  // namespace velnor
