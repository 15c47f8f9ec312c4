#include "projectdb/preset_defs.h"

#include <cmath>
#include <cstdlib>

#include "errors/failure.h"

namespace velnor {

int PartNumberOf(const db::Value& value, const std::string& context) {
  double number = 0;
  switch (value.kind()) {
    case db::ValueKind::Integer:
      number = static_cast<double>(value.integer());
      break;
    case db::ValueKind::Real:
      number = value.real();
      break;
    case db::ValueKind::Text: {
      const std::string& text = value.text();
      char* end = nullptr;
      number = std::strtod(text.c_str(), &end);
      while (end != nullptr && *end == ' ') ++end;
      if (text.find_first_not_of(' ') == std::string::npos || end == nullptr || *end != '\0') {
        Raise(failure_number::kTypeMismatch,
              context + ": Type mismatch: part '" + text + "' is no number");
      }
      break;
    }
    case db::ValueKind::Null:
      Raise(failure_number::kTypeMismatch, context + ": Invalid use of Null: the part is empty");
    case db::ValueKind::Blob:
      Raise(failure_number::kTypeMismatch, context + ": Type mismatch: the part is no number");
  }
  // nearbyint rounds halves to even in the default rounding mode.
  const double rounded = std::nearbyint(number);
  if (!(rounded >= 1 && rounded <= kPartCount)) {
    Raise(failure_number::kSubscriptOutOfRange, context + ": Subscript out of range: part " +
                                                    value.ToDisplayText() +
                                                    " is not one of 1 to 50");
  }
  return static_cast<int>(rounded);
}

std::string TakeoverLookupSql(const std::string& addFieldsSql) {
  const std::string noCase = std::string(" COLLATE ") + db::kNoCaseCollation;
  return std::string("SELECT PRESET_DEFS.ID, PRESET_DEFS.machine_type, PRESET_DEFS.type,") +
         " PRESET_DEFS.var_name, PRESET_DEFS.category_id, PRESET_DEFS.isBitArray," +
         " PRESET_DEFS.offset_or_bitno, PRESET_DEFS.text, PRESET_DEFS.page_name," +
         " PRESET_DEFS.abs_min, PRESET_DEFS.abs_max, PRESET_DEFS.min, PRESET_DEFS.max," +
         " PRESET_DEFS.pass" + addFieldsSql + " From PRESET_DEFS " +
         " WHERE (((PRESET_DEFS.machine_type)=?1" + noCase + ")" +
         " AND ((PRESET_DEFS.var_name)=?2" + noCase + ") " +
         " AND ((PRESET_DEFS.offset_or_bitno)=?3));";
}

std::string NameConversionSql() {
  return std::string("SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=?1") +
         " COLLATE " + db::kNoCaseCollation + "))";
}

}  // namespace velnor
