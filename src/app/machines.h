#pragma once
// The machines of the line.
#include <string>
#include <vector>

namespace velnor {

// The line's machine names. Empty until the first name is stored; from then on entry
// 0 is unused ("") and entries 1..count hold the names in the order read.
extern std::vector<std::string> MachineList;
// The "program.ini" read at start-up, "" when it does not exist.
extern std::string ProgramIniFile;

// The number of machines (the list's upper bound), 0 when it holds no entries.
int MachineCount();

// Integrated: names "NameM1".."NameM5" of the configuration INI file, up to the first
// "-" or empty one. Standalone: "NumberOfMachines" names of "program.ini".
void GetExistingMachines(const std::string& configurationIniPath);

// The ".cfg" file's statement of the machines the component applies to.
std::string GetValidMachines();

}  // namespace velnor
