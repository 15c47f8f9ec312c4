#pragma once
// What the platform layer asks of the operating system beyond the standard library.
// Each system has its own implementation (posix/, windows/), chosen by the build; the
// shared code above them stays free of system headers. Not for the layers above.
#include <string>
#include <string_view>

namespace velnor::native {

// The number the system gives this process.
long CurrentProcessId();

// False only when no process with this number runs any more; a process that cannot be
// asked (another user's) counts as running.
bool ProcessRuns(long processId);

// The executable's path as it was started: through a symbolic link, the link's own path
// (as a copy's would be), otherwise the real file; "" when the system cannot tell.
// startedAs is main's argv[0] (nullptr when there is none), for systems that keep no
// such path of their own.
std::string ExecutablePath(const char* startedAs);

// The command-line text after the program's name, as the system passed it; argv is what
// main received, for systems that keep no text of their own.
std::string CommandLineText(int argc, const char* const* argv);

// The first entry of the environment as the C runtime presents it to the program, ""
// when there is none; envp is what main received.
std::string FirstEnvironmentEntry(const char* const* envp);

}  // namespace velnor::native
