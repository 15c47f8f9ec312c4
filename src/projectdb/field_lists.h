#pragma once
// Field lists and lookups of the preset tables: the placeholder replacement, the
// conversion of variable names between the two naming systems in the component
// database, the legacy column rename, and the component's additional columns.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_state.h"
#include "projectdb/previous_generation.h"

namespace velnor {

// The component's additional "PRESET_DEFS" columns.
struct AddFields {
  // Entry 0 unused (""), entries 1..n the names, "part" first.
  std::vector<std::string> AddFieldNames;
  // ", PRESET_DEFS." + name for each entry 1..n, joined: the takeover query's columns.
  std::string AddFieldsSql;
  // n, the last entry of AddFieldNames.
  std::int16_t AddFieldsCount = 0;
};

// Replaces the first occurrence of placeholder (found without regard to case) by
// replacement; the rest of the text keeps its case.
std::string ReplaceSearchItem(const std::string& text, const std::string& placeholder,
                              const std::string& replacement);

// What ReplaceSearchItem does, in place and without a report of its own, for the loops
// that compose every value of a table; false when the placeholder does not occur.
bool ReplaceFirstIgnoringCase(std::string& text, std::string_view placeholder,
                              std::string_view replacement);

// Gives the rows of the previous generation that carry a variable's name in the other
// naming system the name of the current one (nameSystem).
void VarNameInQuelleErsetzen(PreviousGeneration& previous, std::int16_t nameSystem,
                             const std::string& visiWin32Name,
                             const std::string& visiWinStudioName);

// Renames a column "CATEGORIE" (any case) of the previous generation's "PRESET_DEFS" to
// "category_id".
void CategorieNachCategoryID(PreviousGeneration& previous);

// "part" and the names of key "DataBaseAdditionalFields" of the ".cfg" file, taken
// exactly as written between the commas; entry 0 is "".
std::vector<std::string> GetAdditionalFieldsMDB(const RunState& run);

// The names of a comma-separated list, exactly as written between the commas (blanks
// and empty names included).
std::vector<std::string> SplitFieldList(std::string_view list);

// The additional fields of the ".cfg" file; nothing when they could not be read.
std::optional<AddFields> GetAddFields(const RunState& run);

// The name conversions of one record creation, in the previous generation. Its names
// are read at the first conversion and looked up through an index of their own, so
// that converting the names of every created row costs one look-up each instead of one
// pass over the table. The conversions take effect in the order they are asked for (a
// row can be renamed twice) and are committed together by Finish; a conversion that
// was never finished is rolled back. Failures are reported under
// "VarNameInQuelleErsetzen"; a previous generation that cannot be converted is reported
// once and left alone.
class NameConversion {
 public:
  NameConversion(PreviousGeneration& previous, std::int16_t nameSystem);
  ~NameConversion();
  NameConversion(const NameConversion&) = delete;
  NameConversion& operator=(const NameConversion&) = delete;

  void Convert(const std::string& visiWin32Name, const std::string& visiWinStudioName);
  // False when converted names could not be stored (reported): the takeover would then
  // miss the rows renamed.
  bool Finish();

 private:
  struct Session;
  PreviousGeneration& previous_;
  std::int16_t nameSystem_;
  bool started_ = false;
  std::unique_ptr<Session> session_;
};

}  // namespace velnor
