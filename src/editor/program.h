#pragma once
// The whole program behind main: the command line, the start mode, the window and the
// end of the run. main only hands its arguments on, so that a test driver can run the
// same program over a real project with a few hooks of its own.
#include <functional>

namespace velnor {

class EditorWindow;
class MessageBoxService;

struct ProgramHooks {
  // Answers the boxes of a shown window instead of the toolkit's message box. A silent
  // run shows no box and ignores it.
  MessageBoxService* messageBox = nullptr;
  // Called once with the shown window when the event loop has started.
  std::function<void(EditorWindow&)> whenShown;
};

// Runs the program and returns its exit status: 0 done (or cancelled), 2 done with
// faults logged, 1 ended by a failure. Once the window is shown, an end of the program
// (OK, a confirmed Cancel) ends the process where it stands.
int RunProgram(int argc, char** argv, char** envp, const ProgramHooks& hooks = {});

}  // namespace velnor
