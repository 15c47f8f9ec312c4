#pragma once
// The catalog: the rows of the system table MSysObjects, whose definition is always on
// page 2, name every object of the file; a table's row gives its definition page.
#include <cstdint>
#include <string>
#include <vector>

#include "projectdb/jet/jet_pages.h"

namespace velnor::jet {

struct CatalogEntry {
  std::string name;
  std::uint32_t page = 0;  // of the table's definition
};

// The user tables in the catalog's stored order; system tables are left out.
std::vector<CatalogEntry> UserTables(const JetFile& file);

}  // namespace velnor::jet
