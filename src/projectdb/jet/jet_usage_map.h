#pragma once
// The pages that hold a table's rows, in page order, from the table's page map: a bit per
// page, kept in the map's own row (from a first page on) or, for larger files, on map
// pages of their own that the row names.
#include <cstdint>
#include <vector>

#include "projectdb/jet/jet_pages.h"
#include "projectdb/jet/jet_table_definition.h"

namespace velnor::jet {

// Only pages of rows that name the table as their own count; a page the map names
// beyond the end of the file holds nothing (the row count check catches what is lost).
std::vector<std::uint32_t> DataPagesOf(const JetFile& file, const TableDefinition& table);

}  // namespace velnor::jet
