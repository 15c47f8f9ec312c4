#pragma once
// A table's definition as its definition pages hold it: the row count of its header,
// its columns and where its page map lies. A definition may go on over several pages,
// each naming the next.
#include <cstdint>
#include <string>
#include <vector>

#include "projectdb/jet/jet_pages.h"
#include "projectdb/jet/jet_values.h"

namespace velnor::jet {

struct JetColumn {
  std::string name;
  ColumnShape shape;
  std::uint16_t number = 0;  // counts deleted columns too: its bit in a row's null mask
  bool fixed = false;
  std::uint16_t fixedOffset = 0;    // after the row's column count
  std::uint16_t variableIndex = 0;  // its place among the offsets of variable columns
};

struct TableDefinition {
  std::string name;
  std::uint32_t page = 0;
  std::uint32_t rowCount = 0;      // as the header counts them
  std::vector<JetColumn> columns;  // in the order of their numbers; deleted ones are gone
  std::uint32_t usageMap = 0;      // the row holding the page map: page * 256 + row
};

TableDefinition ReadTableDefinition(const JetFile& file, std::uint32_t page,
                                    const std::string& name);

}  // namespace velnor::jet
