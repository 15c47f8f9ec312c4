#include "app/machines.h"

#include "app/locations.h"
#include "errors/procedure.h"
#include "platform/paths.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

void StoreMachine(MachineList& machines, int number, const std::string& name) {
  if (machines.size() < static_cast<std::size_t>(number) + 1) machines.resize(number + 1);
  machines[number] = name;
}

}  // namespace

int MachineCount(const MachineList& machines) {
  return machines.empty() ? 0 : static_cast<int>(machines.size()) - 1;
}

MachineList GetExistingMachines(const RunState& run) {
  Procedure proc("GetExistingMachines");
  MachineList machines;
  if (run.mode.integrated) {
    const std::string& configuration = run.configurationIni;
    if (configuration.empty() || !FileExists(configuration)) return machines;
    for (int i = 1; i <= 5; ++i) {
      std::string name;
      proc.Step([&] {
        name = LoadIniString("Common", "NameM" + std::to_string(i), configuration, kAnyMode,
                             kQuietIfMissing);
      });
      if (name == "-" || name.empty()) return machines;
      StoreMachine(machines, i, name);
    }
    return machines;
  }
  const std::string& settings = run.programIniForReading;
  int count = 0;
  proc.Step([&] {
    count = LoadIniInteger("Project", "NumberOfMachines", settings, kAnyMode, kQuietIfMissing);
  });
  for (int i = 1; i <= count; ++i) {
    std::string name;
    proc.Step([&] {
      name = LoadIniString("Machine" + std::to_string(i), "MachineName", settings, kAnyMode,
                           kQuietIfMissing);
    });
    StoreMachine(machines, i, name);
  }
  return machines;
}

std::string WhyNoFirstMachine(const RunState& run) {
  const std::string parameter = run.baseFolder + kPathSeparator + "parameter" + kPathSeparator;
  if (run.mode.integrated) {
    if (run.configurationIni.empty()) return "'" + parameter + "zorconfiguration.ini' is missing";
    return "key NameM1 of section [Common] of '" + run.configurationIni +
           "' names no machine (it is missing, empty or \"-\")";
  }
  if (run.programIniForReading.empty()) {
    return "'" + parameter + "Program.ini' is missing or not a file";
  }
  const std::string count = LoadIniString("Project", "NumberOfMachines", run.programIniForReading,
                                          kAnyMode, kQuietIfMissing);
  return "'" + run.programIniForReading + "' names no machine (key NumberOfMachines of section " +
         "[Project] is " + (count.empty() ? std::string("missing") : "\"" + count + "\"") + ")";
}

std::string GetValidMachines(const RunState& run) {
  return LoadIniString("Project", "ValidMachines", GetCFGPath(run), kAnyMode, kQuietIfMissing);
}

}  // namespace velnor
