#pragma once
// Where a POSIX program was started from. A project gets the tool by a copy or by a
// symbolic link in its Config folder; both must configure the component named by that
// file, in that folder. /proc/self/exe resolves the link, so the path the program was
// started by is taken instead whenever it still names the running executable.
#include <string>
#include <string_view>

namespace velnor::posix {

// startedAs made into an absolute path without following links: a path with a "/" is
// taken against workingFolder, a bare name is looked up in searchPath (PATH's form; an
// empty entry is the working folder) as a shell does; then normalised lexically.
// "" when startedAs is empty, or a bare name that no entry holds as an executable.
std::string AbsoluteStartedPath(std::string_view startedAs, std::string_view workingFolder,
                                std::string_view searchPath);

// The absolute form of startedAs when it leads to the same file as executable (device and
// inode, links followed), "" otherwise. A path below /proc or /dev/fd names a descriptor
// of a process, not a place of the file, and is never taken.
std::string StartedPathOf(std::string_view startedAs, std::string_view workingFolder,
                          std::string_view searchPath, const std::string& executable);

}  // namespace velnor::posix
