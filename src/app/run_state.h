#pragma once
// The run: what the process was started with and the files it found, built once when
// the run starts and read by every procedure after that.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/run_observer.h"
#include "errors/error_report.h"
#include "platform/process.h"

namespace velnor {

// The line's machine names: entry 0 unused (""), entries 1..count the names in the
// order read; empty when no name was read.
using MachineList = std::vector<std::string>;

struct RunState {
  // Known from the start, without a look at any file.
  ProcessFacts process;
  CommandLine commandLine;
  StartMode mode;
  std::string baseFolder;    // parent of the executable's folder, no trailing separator
  std::string component;     // "" when the executable's name names none
  std::string errorLog;      // the LOGFILE option while integrated, else baseErrorLog
  std::string baseErrorLog;  // the base folder's error log

  // Found by FindRunFiles; "" for a file that does not exist.
  std::string configurationIni;      // "zorconfiguration.ini"
  std::string programIniForReading;  // "program.ini" where the choices are read
  std::string programIniForWriting;  // "program.ini" where they are written
  MachineList machines;

  // Told what the run does, when someone previews it; nullptr otherwise.
  RunObserver* observer = nullptr;
};

// The run as the process facts and the command line give it.
RunState StartRun(ProcessFacts process);

// What the failure report needs of the run.
ReportContext ReportContextOf(const RunState& run);

// Reports what the command line holds in error and finds the settings files and the
// machines; failures on the way are reported, so the report must be in place.
void FindRunFiles(RunState& run);

}  // namespace velnor
