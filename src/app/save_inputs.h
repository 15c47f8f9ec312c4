#pragma once
#include <vector>

#include "app/run_state.h"

namespace velnor {

// Writes the choices as the bit-mask keys of section "Info" of "program.ini" at its
// writing location (creating the file there when it is missing), then stamps the
// component's ".cfg" file. chosenButtons holds the numbers of the chosen info buttons,
// chosenWarnings those of the chosen warnings in the order the page shows them. The keys
// of machines beyond the fifth, which the masks cannot hold, are left as they are.
void WriteInputs(const RunState& run, const std::vector<int>& chosenButtons,
                 const std::vector<int>& chosenWarnings);

}  // namespace velnor
