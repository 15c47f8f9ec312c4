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
std::string TempNameBeside(const std::string& target);

// The file a symbolic link at path finally leads to (path itself when it is no link);
// that file need not exist. Nothing, with error set, when a link cannot be read or the
// links go round in a loop.
std::optional<std::string> FollowLinks(std::string path, std::error_code& error);

// The refusal of a log that is no regular file: kind says what it is ("a FIFO").
IoResult NotARegularFile(std::string_view path, std::string_view kind);
// Renames from over to, replacing a file at to; on failure says why, naming to.
bool RenameOver(const std::string& from, const std::string& to, std::string& error);

}  // namespace velnor::files_internal
