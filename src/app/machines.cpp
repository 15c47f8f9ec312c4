#include "app/machines.h"

#include "app/locations.h"
#include "app/start_mode.h"
#include "errors/procedure.h"
#include "platform/paths.h"
#include "settings/ini_access.h"

namespace velnor {

std::vector<std::string> MachineList;
std::string ProgramIniFile;

namespace {

void StoreMachine(int number, const std::string& name) {
  if (MachineList.size() < static_cast<std::size_t>(number) + 1) MachineList.resize(number + 1);
  MachineList[number] = name;
}

}  // namespace

int MachineCount() {
  return MachineList.empty() ? 0 : static_cast<int>(MachineList.size()) - 1;
}

void GetExistingMachines(const std::string& configurationIniPath) {
  Procedure proc("GetExistingMachines");
  proc.Step([&] { ProgramIniFile = GetProgramIniPath(1); });
  if (IntegratedMode) {
    if (configurationIniPath.empty() || !FileExists(configurationIniPath)) return;
    for (int i = 1; i <= 5; ++i) {
      std::string name;
      proc.Step([&] {
        name =
            LoadIniString("Common", "NameM" + std::to_string(i), configurationIniPath, true, false);
      });
      if (name == "-" || name.empty()) return;
      StoreMachine(i, name);
    }
    return;
  }
  int count = 0;
  proc.Step(
      [&] { count = LoadIniInteger("Project", "NumberOfMachines", ProgramIniFile, false, false); });
  for (int i = 1; i <= count; ++i) {
    std::string name;
    proc.Step([&] {
      name =
          LoadIniString("Machine" + std::to_string(i), "MachineName", ProgramIniFile, false, false);
    });
    StoreMachine(i, name);
  }
}

std::string GetValidMachines() {
  return LoadIniString("Project", "ValidMachines", GetCFGPath(), true, false);
}

}  // namespace velnor
