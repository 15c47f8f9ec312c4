#include "platform/file_version.h"

#include <algorithm>
#include <chrono>

namespace velnor {

bool MayStillChangeUnseen(const FileVersion& version, FileTime now) {
  constexpr std::chrono::milliseconds kClockStep{100};
  return std::max(version.written, version.changed) + kClockStep > now;
}

FileTime FileClockNow() {
  return std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now());
}

}  // namespace velnor
