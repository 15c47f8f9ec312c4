// Velnor_Config: the extended configuration of one component of the operator-panel
// project. The command line is evaluated before any window toolkit exists, so that
// --help, --version and the silent mode need no display.
#include "editor/program.h"
#include "platform/console.h"
#include "projectdb/jet/jet_reader.h"

int main(int argc, char** argv, char** envp) {
  velnor::AttachToParentConsole();
  // Started again by itself to convert an Access file: nothing else runs.
  if (const auto status = velnor::jet::RunJetConverterIfAsked(argc, argv)) return *status;
  return velnor::RunProgram(argc, argv, envp);
}
