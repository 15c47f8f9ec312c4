#pragma once
// The parts of atomic replacement that every system shares. Not for the layers above.
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/files.h"

namespace velnor::files_internal {

// "<target>.velnor-tmp.<pid>.<n>": a later run recognises the files of a run that was
// killed while writing, and by the process number whether that run still lives.
// The process's number, separator and a random number: a name part no other writer uses.
std::string UniqueSuffix(std::string_view separator);
std::string TempNameBeside(const std::string& target);

// The file a symbolic link at path finally leads to (path itself when it is no link);
// that file need not exist. Nothing, with error set, when a link cannot be read or the
// links go round in a loop.
std::optional<std::string> FollowLinks(std::string path, std::error_code& error);

// The refusal of a log that is no regular file: kind says what it is ("a FIFO").
IoResult NotARegularFile(std::string_view path, std::string_view kind);
// Renames from over to, replacing a file at to; on failure says why, naming to.
bool RenameOver(const std::string& from, const std::string& to, std::string& error);

// One system's part of replacing a file: ReplaceAtomically takes the steps in order.
class Replacement {
 public:
  struct Existing {
    bool present = false;
    bool regular = false;
    bool readOnly = false;  // kept from being changed by its owner
  };

  virtual ~Replacement() = default;
  // What lies at target now.
  virtual Existing Examine(const std::string& target) = 0;
  // Creates temp, a new file beside target, writes the new content into it and flushes
  // it. On failure no file of this call is left behind.
  virtual IoResult Write(const std::string& temp, const std::string& target) = 0;
  // Moves temp over target, replacing it; on failure says why, naming target.
  virtual IoResult MoveOver(const std::string& temp, const std::string& target) = 0;
  virtual void Remove(const std::string& temp) = 0;
};

// Writes a new file beside the file at path and moves it over that file, so that a crash
// leaves the old file or the new one. A symbolic link is followed: renaming over it would
// put a file in its place and leave what it leads to unchanged, so the file it leads to
// is replaced instead and the link stays; a link that leads nowhere yet creates its file,
// like any missing file. What is no regular file, and a file made read-only, is refused.
IoResult ReplaceAtomically(std::string_view path, Replacement& system);

}  // namespace velnor::files_internal
