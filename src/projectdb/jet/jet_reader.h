#pragma once
// Reading an Access (Jet 3 or Jet 4) database: its user tables, their columns and their
// rows as values. Read-only, from the file's bytes in memory; every page number, offset,
// length and chain is checked, so a damaged file is a Failure naming what was wrong
// (page, table), never a crash, a hang or a read beyond the bytes.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "projectdb/database.h"
#include "projectdb/jet/jet_pages.h"
#include "projectdb/jet/jet_table_definition.h"

namespace velnor::jet {

class JetDatabase {
 public:
  // deadline must outlive the reader.
  JetDatabase(std::string_view bytes, const Deadline& deadline);

  // The user tables in the catalog's order, with their columns.
  std::vector<TableDefinition> Tables() const;

  // Calls take with the values of each row in stored order (see ForEachRow), one per
  // column; returns the number of rows.
  std::int64_t ReadRows(const TableDefinition& table,
                        const std::function<void(const std::vector<db::Value>&)>& take) const;

 private:
  JetFile file_;
};

}  // namespace velnor::jet
