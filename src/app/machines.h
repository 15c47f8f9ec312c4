#pragma once
// The machines of the line.
#include <string>

#include "app/run_state.h"

namespace velnor {

// The number of machines (the list's upper bound), 0 when it holds no entries.
int MachineCount(const MachineList& machines);

// Integrated: names "NameM1".."NameM5" of the configuration INI file, up to the first
// "-" or empty one. Standalone: "NumberOfMachines" names of "program.ini" as read.
MachineList GetExistingMachines(const RunState& run);

// Why the line has no machine 1, naming the file and the entry the machines are read
// from: for a message that ends "... no machine 1" + ": " + this.
std::string WhyNoFirstMachine(const RunState& run);

// The ".cfg" file's statement of the machines the component applies to.
std::string GetValidMachines(const RunState& run);

}  // namespace velnor
