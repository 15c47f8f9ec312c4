#pragma once
#include "app/run_state.h"

namespace velnor {

// Asks whether to abandon the configuration (in silent mode it does not ask) and
// records the abandonment. True: abandon; False: go on editing.
bool ConfirmCancel(const RunState& run);

}  // namespace velnor
