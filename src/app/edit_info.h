#pragma once
#include "app/run_state.h"

namespace velnor {

// Stamps section "Info" of the component's ".cfg" file: "S_Prog" (version and start
// mode) and "S_Editor" (the encoded value of the first environment entry).
void WriteEditInfo(const RunState& run);

}  // namespace velnor
