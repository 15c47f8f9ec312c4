#pragma once
// The preset definition table "PRESET_DEFS": the name patterns and naming system that
// compose its variable names, its placeholders, and the two queries the tool sends.
#include <array>
#include <cstdint>
#include <string>

#include "projectdb/database.h"

namespace velnor {

inline constexpr int kPartCount = 50;
inline constexpr int kVisiWin32Naming = 0;
inline constexpr int kVisiWinStudioNaming = 1;

// What one update learns before it creates the rows.
struct UpdateState {
  // Name patterns by naming system (0 VisiWin32, 1 VisiWin Studio) and part (1..50;
  // entry 0 of each system is unused), from "Source_DEFS".
  std::array<std::array<std::string, kPartCount + 1>, 2> varNamePatterns;
  // The naming system whose names go into "PRESET_DEFS": 1 (VisiWin Studio) when not
  // integrated and "program.ini" says "VWStudio=true", otherwise 0.
  std::int16_t nameSystem = kVisiWin32Naming;
};

// A part number (1..50) from a stored value: a whole number, or a real or a text that
// rounds to one (halves to even, as the original runtime converted). Null, other
// kinds and numbers outside 1..50 are failures whose description starts with context.
int PartNumberOf(const db::Value& value, const std::string& context);

inline constexpr const char* kVarNamePlaceholder = "###Var_Name";
inline constexpr const char* kMachinePlaceholder = "###machine";

// The takeover lookup: the rebuilt rows whose machine_type (?1), var_name (?2) and
// offset_or_bitno (?3) equal a previous row's, texts compared without regard to case.
// Its column list names the standard columns and then addFieldsSql. The values are
// bound, never pasted into the text, so a double quote in a name is matched like any
// other character.
std::string TakeoverLookupSql(const std::string& addFieldsSql);

// The name conversion: the rows of "PRESET_DEFS" whose Var_Name equals ?1 without
// regard to case.
std::string NameConversionSql();

}  // namespace velnor
