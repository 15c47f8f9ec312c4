#include "projectdb/jet/jet_catalog.h"

#include <optional>

#include "projectdb/jet/jet_rows.h"
#include "projectdb/jet/jet_table_definition.h"
#include "projectdb/jet/jet_text.h"
#include "projectdb/jet/jet_usage_map.h"

namespace velnor::jet {
namespace {

constexpr std::uint32_t kCatalogPage = 2;
constexpr int kTableType = 1;
constexpr int kTypeMask = 0x7f;  // the bits above say how the object is kept, not what it is
constexpr std::uint32_t kSystemFlags = 0x80000002u;
constexpr std::uint32_t kPageMask = 0x00ffffffu;

const JetColumn& ColumnNamed(const TableDefinition& catalog, const std::string& name) {
  for (const JetColumn& column : catalog.columns) {
    if (column.name == name) return column;
  }
  Damaged("its catalog has no column " + name);
}

std::optional<std::uint32_t> Number(const Row& row, const JetColumn& column) {
  const std::optional<Bytes> field = row.Field(column);
  if (!field) return std::nullopt;
  if (field->size() >= 4) return field->U32(0);
  if (field->size() >= 2)
    return static_cast<std::uint32_t>(static_cast<std::int16_t>(field->U16(0)));
  Damaged("its catalog holds a number of " + std::to_string(field->size()) + " bytes on page " +
          std::to_string(field->page()));
}

}  // namespace

std::vector<CatalogEntry> UserTables(const JetFile& file) {
  const TableDefinition catalog = ReadTableDefinition(file, kCatalogPage, "MSysObjects");
  const JetColumn& id = ColumnNamed(catalog, "Id");
  const JetColumn& name = ColumnNamed(catalog, "Name");
  const JetColumn& type = ColumnNamed(catalog, "Type");
  const JetColumn& flags = ColumnNamed(catalog, "Flags");
  std::vector<CatalogEntry> tables;
  const std::int64_t rows = ForEachRow(file, DataPagesOf(file, catalog), [&](const Bytes& bytes) {
    const Row row(file, bytes);
    const std::optional<std::uint32_t> objectType = Number(row, type);
    if (!objectType || (static_cast<int>(*objectType) & kTypeMask) != kTableType) return;
    if ((Number(row, flags).value_or(0) & kSystemFlags) != 0) return;
    const std::optional<std::uint32_t> page = Number(row, id);
    const std::optional<Bytes> text = row.Field(name);
    if (!page || !text) Damaged("a table in its catalog has no name or no page");
    tables.push_back({JetText(text->data(), file.jet4()), *page & kPageMask});
  });
  // A catalog cut short would make a file of fewer tables, all of them whole.
  if (rows != static_cast<std::int64_t>(catalog.rowCount)) {
    Damaged(std::to_string(rows) + " rows found where its header counts " +
            std::to_string(catalog.rowCount));
  }
  if (tables.empty()) Damaged("it holds no tables");
  return tables;
}

}  // namespace velnor::jet
