#pragma once
// "--history" and "--restore": the kept generations (app/generations.h) listed for a
// person or a parent program, and one put back.
#include <iosfwd>
#include <optional>

#include "platform/process.h"

namespace velnor {

// When the whole command line is "--history", "--history --json", "--restore" or
// "--restore ID": does it and returns the exit status; nothing for any other line.
// --history lists the kept generations newest first (status 0). --restore puts back the
// newest or the named one under the component's lock (status 0), or says on err why not
// (status 1: nothing kept, no such generation, a file that cannot be put back).
std::optional<int> RunGenerationCommand(const ProcessFacts& facts, std::ostream& out,
                                        std::ostream& err);

}  // namespace velnor
