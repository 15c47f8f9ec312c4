#pragma once
// "--history" and "--restore": the kept generations (app/generations.h) listed for a
// person or a parent program, and one put back.
#include <iosfwd>
#include <string>

#include "app/run_state.h"

namespace velnor {

// Whether the whole command line is "--history", "--history --json", "--restore" or
// "--restore ID".
bool IsGenerationCommand(const std::string& line);

// Does the run's generation command and returns the exit status; the run names its
// component, and its report, which asks no one, is in place. --history lists the kept generations
// newest first (status 0). --restore puts back the newest or the named one under the component's
// lock (status 0), or says on err why not (status 1: nothing kept, no such generation, a file that
// cannot be put back).
int RunGenerationCommand(const RunState& run, std::ostream& out, std::ostream& err);

}  // namespace velnor
