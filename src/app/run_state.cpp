#include "app/run_state.h"

#include <utility>

#include "app/locations.h"
#include "app/machines.h"
#include "errors/procedure.h"
#include "platform/paths.h"

namespace velnor {
namespace {

// An option key at the very end of the line is an invalid call, reported as reading
// the option reported it. The LOGFILE option is read only while integrated.
void ReportCommandLineFaults(const RunState& run) {
  Procedure proc("ReadCommand");
  const auto report = [&] {
    proc.Step(
        [] { Raise(failure_number::kInvalidArgument, "Invalid procedure call or argument"); });
  };
  if (run.commandLine.external.keyAtEnd) report();
  if (run.mode.integrated && run.commandLine.logFile.keyAtEnd) report();
}

}  // namespace

RunState StartRun(ProcessFacts process) {
  RunState run;
  run.process = std::move(process);
  run.commandLine = ParseCommandLine(run.process.commandLine);
  run.mode = StartModeOf(run.commandLine);
  run.baseFolder = BaseFolderOf(run.process.executableFolder);
  run.component = ComponentNameOf(run.process.executableBaseName).value_or("");
  run.baseErrorLog = run.baseFolder + kPathSeparator + "ZORcfglog.txt";
  // The parent's log keeps the name it was given, in its case. Integrated without a
  // LOGFILE option, the entry would have nowhere to go but the base folder's log.
  const std::string& logOption = run.commandLine.logFile.asPassed;
  run.errorLog =
      run.mode.integrated && !logOption.empty() ? NativePath(logOption) : run.baseErrorLog;
  return run;
}

ReportContext ReportContextOf(const RunState& run) {
  ReportContext context;
  context.silent = run.mode.silent;
  context.programName = run.process.executableBaseName;
  context.component = run.component;
  context.errorLog = run.errorLog;
  context.fallbackErrorLog = run.baseErrorLog;
  return context;
}

void FindRunFiles(RunState& run) {
  ReportCommandLineFaults(run);
  run.configurationIni = GetZORConfigurationIniPath(run);
  run.programIniForReading = GetProgramIniPathForReading(run);
  run.programIniForWriting = GetProgramIniPathForWriting(run);
  run.machines = GetExistingMachines(run);
}

}  // namespace velnor
