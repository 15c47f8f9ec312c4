#pragma once
#include "app/run_state.h"

namespace velnor {

// Brings the component database up to date: rebuilds "PRESET_DEFS" in the source
// database from its template, creates the rows for the line's first machine, carries
// the previous generation's limits over and replaces the component database by the
// source database.
void WorkOnMDB(const RunState& run);

}  // namespace velnor
