#pragma once
// The rows of the rebuilt "PRESET_DEFS" for the line's first machine.
#include <array>
#include <string>
#include <string_view>

#include "app/run_state.h"
#include "projectdb/preset_defs.h"
#include "projectdb/previous_generation.h"

namespace velnor {

namespace db {
class Database;
}

// Fills the freshly rebuilt, empty "PRESET_DEFS" of database from its template
// "Source_PRESET_DEFS": one row per template row for machine 1 when the component
// applies to it, with IDs 1, 2, 3 ... in template order, the machine's name put into
// the texts and each var_name composed from its part's name pattern of the update. The
// previous generation's names are converted to the update's naming system on the way.
// Returns false when a created row or a converted name could not be stored (a failure
// was reported); the update then keeps the component database as it is.
// A row's var_name in both naming systems (index 0 VisiWin32, 1 VisiWin Studio): the
// pattern of part (1..50) in each system, its first "###Var_Name" replaced by the
// template's name and its first two "###machine" by the machine's name, each found
// without regard to case.
std::array<std::string, 2> ComposeVarName(const UpdateState& update, int part,
                                          std::string_view templateName, std::string_view machine);

bool CreateRecordSets(db::Database& database, const RunState& run, const UpdateState& update,
                      PreviousGeneration& previous);

}  // namespace velnor
