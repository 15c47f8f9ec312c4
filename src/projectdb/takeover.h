#pragma once
// Carrying the limits and "pass" values of the previous generation of "PRESET_DEFS"
// over into the rebuilt one.
#include <optional>

#include "app/run_state.h"
#include "projectdb/database.h"
#include "projectdb/field_lists.h"

namespace velnor {

// Reads every row of previousTable ("PRESET_DEFS" of the component database, in
// integrated mode the machine copy) and writes its "abs_min", "abs_max", "min", "max"
// and "pass" into the first row, in stored order, of the rebuilt "PRESET_DEFS" of
// targetDb with the same machine_type, var_name and offset_or_bitno; later previous
// rows overwrite earlier ones. Warns first when the previous table holds columns that
// the configuration does not name, and ends the program when the rebuilt table lacks
// a column that addFields demands. previousTable is released and emptied.
// Returns false when the values could not be carried over (a failure was reported);
// the update then keeps the component database as it is.
bool TakeoverMachineCopyMDBData(db::Database& targetDb, std::optional<db::RecordSet>& previousTable,
                                const RunState& run, const std::optional<AddFields>& addFields);

}  // namespace velnor
