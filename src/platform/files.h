#pragma once
// Whole-file operations. A file that replaces another is written beside it, flushed
// and renamed over it, so a crash leaves either the old or the new file, never a mix.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

struct IoResult {
  bool ok = true;
  std::string error;  // what went wrong, naming the file; "" on success
  explicit operator bool() const { return ok; }
};

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(std::string_view path);

// Appends text (UTF-8, stored as Windows-1252) and CR LF; the file is created when
// missing and opened and closed around this one line.
IoResult AppendLine(std::string_view path, std::string_view text);

// Replaces (or creates) the file with exactly these bytes, atomically. A missing or
// unwritable folder fails and creates nothing. An existing file keeps its permissions;
// one without write permission (for the superuser too: no write bit at all) fails and
// stays as it is. Through a symbolic link, the file it leads to is replaced (or created
// when missing, if its folder exists) and the link stays.
IoResult WriteFileAtomically(std::string_view path, std::string_view bytes);

// Copies source over target atomically: target is either its old self or a complete
// copy of source afterwards. A read-only target is refused, and a link followed, as by
// WriteFileAtomically.
IoResult CopyFileAtomically(std::string_view source, std::string_view target);

// Removes the temporary files that a write beside a target in this folder left when its
// process was killed before the rename; files of processes that still run are kept.
// Returns the paths removed.
std::vector<std::string> RemoveLeftoverTemporaries(std::string_view folder);

// A new, empty folder of this process's own in the system's folder for temporary files,
// removed with all it holds when this ends. path() is "" when none could be made.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(std::string_view prefix);
  ~TemporaryFolder();  // a folder that cannot be removed is left to the system
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
// Several files replaced together: each new content is first written whole and flushed
// beside its target, and only when every one is in place are they renamed over their
// targets and the files to go removed. A failure before the renames (a read-only or
// unwritable target, a full disk) leaves every target as it was and no file behind.
struct FileReplacement {
  std::string path;
  std::optional<std::string> bytes;  // nothing: the file is removed
};
IoResult ReplaceFilesTogether(const std::vector<FileReplacement>& replacements);

// Folders: made with the folders above them, removed with all they hold, and the names
// of the folders within one (none when it cannot be read).
IoResult MakeFolder(std::string_view path);
IoResult RemoveFolder(std::string_view path);
std::vector<std::string> SubfolderNames(std::string_view folder);

// A file's last-write time, as fine as the file system keeps it.
using FileTime = std::chrono::sys_time<std::chrono::nanoseconds>;

// Last-write time of a file, to put back after work that touched it.
std::optional<FileTime> LastWriteTime(std::string_view path);
IoResult SetLastWriteTime(std::string_view path, FileTime when);

}  // namespace velnor
