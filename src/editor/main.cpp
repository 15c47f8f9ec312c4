// Velnor_Config: the extended configuration of one component of the operator-panel
// project. The command line is evaluated before any window toolkit exists, so that
// --help, --version and the silent mode need no display.
#include "editor/program.h"
#include "platform/console.h"

int main(int argc, char** argv, char** envp) {
  velnor::AttachToParentConsole();
  return velnor::RunProgram(argc, argv, envp);
}
