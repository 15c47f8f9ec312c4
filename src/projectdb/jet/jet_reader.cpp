#include "projectdb/jet/jet_reader.h"

#include <cstring>

#include "errors/failure.h"
#include "projectdb/jet/jet_catalog.h"
#include "projectdb/jet/jet_long_values.h"
#include "projectdb/jet/jet_rows.h"
#include "projectdb/jet/jet_text.h"
#include "projectdb/jet/jet_usage_map.h"
#include "projectdb/jet/jet_values.h"

namespace velnor::jet {
namespace {

// Runs read, a failure named after the table it happened in.
template <typename Read>
auto InTable(const std::string& table, const Read& read) {
  try {
    return read();
  } catch (const Failure& failure) {
    Damaged("table " + table + ": " + failure.description());
  }
}

std::uint64_t U64(const Bytes& bytes) {
  return bytes.U32(0) | static_cast<std::uint64_t>(bytes.U32(4)) << 32;
}

db::Value ValueOf(const JetFile& file, const JetColumn& column, const Row& row) {
  const auto type = static_cast<ColumnType>(column.shape.type);
  // A Yes/No has no bytes of its own: its bit in the row's null mask is its value.
  if (type == ColumnType::Boolean) return row.Bit(column.number) ? kTrue : kFalse;
  const std::optional<Bytes> field = row.Field(column);
  if (!field) return nullptr;
  const auto need = [&](std::size_t size) {
    if (field->size() < size) {
      Damaged("column " + column.name + " holds " + std::to_string(field->size()) +
              " bytes on page " + std::to_string(field->page()));
    }
  };
  switch (type) {
    case ColumnType::Byte:
      need(1);
      return static_cast<std::int64_t>(field->U8(0));
    case ColumnType::Integer:
      need(2);
      return static_cast<std::int64_t>(static_cast<std::int16_t>(field->U16(0)));
    case ColumnType::Long:
      need(4);
      return static_cast<std::int64_t>(static_cast<std::int32_t>(field->U32(0)));
    case ColumnType::Currency:
      need(8);
      return CurrencyText(static_cast<std::int64_t>(U64(*field)));
    case ColumnType::Single: {
      need(4);
      const std::uint32_t bits = field->U32(0);
      float value = 0;
      std::memcpy(&value, &bits, sizeof value);
      return SingleAsDouble(value);
    }
    case ColumnType::Double:
    case ColumnType::DateTime: {
      need(8);
      const std::uint64_t bits = U64(*field);
      double value = 0;
      std::memcpy(&value, &bits, sizeof value);
      if (type == ColumnType::Double) return value;
      std::string text = DateTimeText(value);
      if (text.empty()) Damaged("column " + column.name + ": a date outside the years 1 to 9999");
      return text;
    }
    case ColumnType::Binary:
      return db::Blob{std::string(field->data())};
    case ColumnType::Text:
      return JetText(field->data(), file.jet4());
    case ColumnType::Memo:
      return JetText(ReadLongValue(file, *field), file.jet4());
    case ColumnType::Ole:
      return db::Blob{ReadLongValue(file, *field)};
    case ColumnType::Guid:
      need(16);
      return GuidText(reinterpret_cast<const unsigned char*>(field->data().data()));
    case ColumnType::Numeric: {
      need(17);
      const std::array<std::uint32_t, 4> magnitude{field->U32(1), field->U32(5), field->U32(9),
                                                   field->U32(13)};
      return DecimalText((field->U8(0) & 0x80) != 0, magnitude, column.shape.scale);
    }
    case ColumnType::Boolean:
      break;
  }
  Damaged("column " + column.name + " has the type " + std::to_string(column.shape.type) +
          ", which the conversion does not know");
}

}  // namespace

JetDatabase::JetDatabase(std::string_view bytes, const Deadline& deadline)
    : file_(bytes, deadline) {}

std::vector<TableDefinition> JetDatabase::Tables() const {
  std::vector<TableDefinition> tables;
  for (const CatalogEntry& entry : InTable("MSysObjects", [&] { return UserTables(file_); })) {
    tables.push_back(
        InTable(entry.name, [&] { return ReadTableDefinition(file_, entry.page, entry.name); }));
  }
  return tables;
}

std::int64_t JetDatabase::ReadRows(
    const TableDefinition& table,
    const std::function<void(const std::vector<db::Value>&)>& take) const {
  return InTable(table.name, [&] {
    std::vector<db::Value> values(table.columns.size());
    return ForEachRow(file_, DataPagesOf(file_, table), [&](const Bytes& bytes) {
      const Row row(file_, bytes);
      for (std::size_t i = 0; i < table.columns.size(); ++i) {
        values[i] = ValueOf(file_, table.columns[i], row);
      }
      take(values);
    });
  });
}

}  // namespace velnor::jet
