#pragma once
// The whole program behind main: the command line, the start mode, the window and the
// end of the run.
#include <string>

#include "app/run_state.h"
#include "errors/error_report.h"

namespace velnor {

class MessageBoxService;

// Runs the program and returns its exit status: 0 done (or cancelled), 2 done with
// faults logged, 1 ended by a failure. Once the window is shown, an end of the program
// (OK, a confirmed Cancel) ends the process where it stands. The window's boxes go
// through windowBoxes when it is given, else through the toolkit's message box; a
// silent run shows no box.
int RunProgram(int argc, char** argv, char** envp, MessageBoxService* windowBoxes = nullptr);

// The run itself once its start is known, with the window toolkit started for it (on the
// offscreen platform when silent), reporting under context; returns its exit status.
int RunWithToolkit(RunState& run, const ReportContext& context, std::string programName,
                   MessageBoxService* windowBoxes);

}  // namespace velnor
