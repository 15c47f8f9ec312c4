#include "projectdb/jet/jet_table_definition.h"

#include <algorithm>
#include <set>

#include "projectdb/jet/jet_text.h"

namespace velnor::jet {
namespace {

constexpr std::uint8_t kDefinitionPageType = 0x02;
constexpr std::size_t kNextPageAt = 4;
constexpr std::size_t kPageHeader = 8;  // a continued page's definition starts after it
constexpr std::uint8_t kFixedFlag = 0x01;
constexpr std::uint8_t kAutoNumberFlag = 0x04;

std::string PageName(std::uint32_t page) {
  return "page " + std::to_string(page);
}

// The definition's bytes: its first page whole, then each page it goes on to without
// its header, so that offsets run on as if it were one page.
std::string DefinitionBytes(const JetFile& file, std::uint32_t first) {
  std::string bytes;
  std::set<std::uint32_t> seen;
  for (std::uint32_t number = first; number != 0;) {
    file.deadline().Check();
    if (!seen.insert(number).second) Damaged("its definition comes back to " + PageName(number));
    const Bytes page = file.Page(number);
    if (page.U8(0) != kDefinitionPageType) {
      Damaged(PageName(number) + " is no page of a table definition");
    }
    bytes.append(page.data().substr(number == first ? 0 : kPageHeader));
    number = page.U32(kNextPageAt);
  }
  return bytes;
}

}  // namespace

TableDefinition ReadTableDefinition(const JetFile& file, std::uint32_t page,
                                    const std::string& name) {
  const Layout& layout = file.layout();
  const std::string stored = DefinitionBytes(file, page);
  const Bytes bytes(stored, page);

  TableDefinition table;
  table.name = name;
  table.page = page;
  table.rowCount = bytes.U32(layout.definitionRows);
  table.usageMap = bytes.U32(layout.definitionUsageMap);
  const std::size_t columnCount = bytes.U16(layout.definitionColumns);
  const std::size_t realIndexes = bytes.U32(layout.definitionRealIndexes);
  if (realIndexes > stored.size() / layout.realIndexEntry) {
    Damaged("its definition counts " + std::to_string(realIndexes) + " indexes");
  }
  std::size_t at = layout.definitionEntries + realIndexes * layout.realIndexEntry;
  if (columnCount > stored.size() / layout.columnEntry) {
    Damaged("its definition counts " + std::to_string(columnCount) + " columns");
  }
  for (std::size_t i = 0; i < columnCount; ++i, at += layout.columnEntry) {
    const Bytes entry = bytes.Sub(at, layout.columnEntry);
    const std::uint8_t flags = entry.U8(layout.columnFlags);
    JetColumn column;
    column.shape.type = entry.U8(0);
    column.shape.sizeInBytes = entry.U16(layout.columnLength);
    column.shape.jet4 = layout.jet4;
    column.shape.autoNumber = (flags & kAutoNumberFlag) != 0;
    column.shape.precision = entry.U8(layout.columnMisc);
    column.shape.scale = entry.U8(layout.columnMisc + 1);
    column.number = entry.U16(layout.columnNumber);
    column.fixed = (flags & kFixedFlag) != 0;
    column.fixedOffset = entry.U16(layout.columnFixedOffset);
    column.variableIndex = entry.U16(layout.columnVariableIndex);
    table.columns.push_back(column);
  }
  // The names follow the entries, in the same order, each after its length.
  for (JetColumn& column : table.columns) {
    const std::size_t length = layout.jet4 ? bytes.U16(at) : bytes.U8(at);
    at += layout.jet4 ? 2 : 1;
    column.name = JetText(bytes.Sub(at, length).data(), layout.jet4);
    at += length;
  }
  std::stable_sort(table.columns.begin(), table.columns.end(),
                   [](const JetColumn& a, const JetColumn& b) { return a.number < b.number; });
  return table;
}

}  // namespace velnor::jet
