#pragma once
// The console of the program that started this one.
namespace velnor {

// A Windows program of the GUI subsystem (no console window opens when Explorer or a
// parent program starts it) begins without standard output and error. When it was
// started from a console, this attaches it to that console, so that --help, --version
// and the messages of a run reach it; handles that are already set (output redirected
// to a file or a pipe) are kept as they are. Elsewhere there is nothing to do.
void AttachToParentConsole();

}  // namespace velnor
