#pragma once
// What tells one state of a file from another without reading it.
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/files.h"

namespace velnor {

// Which file it is (device and file number), its size and its last-write and
// last-change times. Writing, replacing or renaming a file through any program changes
// its version, except a write that keeps the size and falls within the same step of
// the file system's clock as the one before: a reader that must see such a write too
// checks again while the file's times are that recent (see MayStillChangeUnseen).
struct FileVersion {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  FileTime written;
  FileTime changed;  // also permissions and links; the last-write time where the system
                     // keeps no such time
  bool operator==(const FileVersion&) const = default;
};

// The version of the regular file at path (links followed, found without regard to
// case); nothing for a missing file, a folder, a device or a pipe.
std::optional<FileVersion> VersionOfFile(std::string_view path);

// Whether a write at this moment could leave the file's version as it was: its times
// lie less than one step of the file system's clock before `now`. The step is taken to
// be at most 100 ms (a clock tick of Linux or Windows, with room); file systems that
// keep times in steps of seconds (FAT) are not covered.
bool MayStillChangeUnseen(const FileVersion& version, FileTime now);

// The system's clock, as file times count.
FileTime FileClockNow();

}  // namespace velnor
