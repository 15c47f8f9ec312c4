#pragma once
// A Jet database's user tables written into a new SQLite file: columns declared by their
// Jet types (jet_values.h), rows in their stored order. Indexes, keys, queries and
// relations are not taken.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "projectdb/jet/jet_pages.h"

namespace velnor::jet {

struct CopiedTable {
  std::string name;
  std::int64_t headerRows = 0;  // as the Jet table's header counts them
};

// Fails when a table's rows are not as many as its header counts.
std::vector<CopiedTable> CopyJetToSqlite(std::string_view jetBytes, const std::string& sqlitePath,
                                         const Deadline& deadline);

}  // namespace velnor::jet
