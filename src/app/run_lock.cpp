#include "app/run_lock.h"

#include <iostream>
#include <string>

#include "errors/error_report.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace velnor {

FolderLock LockTheRun(const RunState& run, std::chrono::milliseconds silentWait) {
  const std::string componentFolder = JoinPath(run.baseFolder, run.component);
  const std::string folder =
      !run.component.empty() && FolderExists(componentFolder) ? componentFolder : run.baseFolder;
  FolderLock lock =
      FolderLock::Take(folder, run.mode.silent ? silentWait : std::chrono::milliseconds::zero());
  if (lock.state() == FolderLock::State::kBusy) {
    ReportFault("The component \"" + run.component +
                "\" is being configured by another run; this run ends without changing "
                "anything.");
    EndProgram(1);
  }
  if (lock.state() == FolderLock::State::kUnavailable) {
    std::cerr << "Velnor_Config: runs are not kept apart: " << lock.error() << '\n';
  }
  for (const std::string& place :
       {componentFolder, JoinPath(run.baseFolder, "parameter"), run.process.executableFolder}) {
    RemoveLeftoverTemporaries(place);
  }
  return lock;
}

}  // namespace velnor
