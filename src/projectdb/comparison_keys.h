#pragma once
// Keys under which rows can be matched in memory exactly as the engine's "=" matches
// them in a query: null equals nothing, numbers compare by value whatever their kind,
// texts byte for byte or without regard to case, and a value compared with a column is
// first converted as that column converts values (its affinity). Matching a whole table
// through such keys costs one hash look-up per row instead of one query per row.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "projectdb/database.h"

namespace velnor::db {

struct KeyColumn {
  std::string declaredType;
  bool ignoreCase = false;  // compared under kNoCaseCollation, otherwise byte for byte
};

class ComparisonKeys {
 public:
  ComparisonKeys(Database& db, std::vector<KeyColumn> columns);

  // The key of a row's values as read from columns of these types; nothing when one
  // of them is null.
  std::optional<std::string> OfStored(std::span<const Value> values) const;

  // The key of values compared with such columns ("column = value"). A value that the
  // column would convert (a number compared with a text column, a text with a numeric
  // one) is converted by the engine itself first.
  std::optional<std::string> OfCompared(std::span<const Value> values);

 private:
  bool NeedsConversion(std::span<const Value> values) const;

  Database& db_;
  std::vector<KeyColumn> columns_;
  std::vector<Affinity> affinities_;
  std::optional<Statement> convert_;  // prepared at the first value that needs it
};

}  // namespace velnor::db
