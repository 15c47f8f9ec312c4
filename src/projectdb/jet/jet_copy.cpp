#include "projectdb/jet/jet_copy.h"

#include "projectdb/database.h"
#include "projectdb/jet/jet_reader.h"

namespace velnor::jet {
namespace {

// Jet allows 255 columns; a definition counting more is damaged.
constexpr std::size_t kMostColumns = 256;

db::Statement InsertInto(db::Database& target, const TableDefinition& table) {
  if (table.columns.empty() || table.columns.size() > kMostColumns) {
    Damaged("table " + table.name + " has " + std::to_string(table.columns.size()) + " columns");
  }
  std::vector<db::Column> declared;
  std::string names;
  std::string marks;
  for (const JetColumn& column : table.columns) {
    const std::string type = DeclaredTypeOf(column.shape);
    if (type.empty()) {
      Damaged("column " + column.name + " of table " + table.name + " has type " +
              std::to_string(column.shape.type) + ", which the conversion does not know");
    }
    declared.push_back(db::DescribeColumn(column.name, type));
    names += (names.empty() ? "" : ", ") + db::QuoteName(column.name);
    marks += marks.empty() ? "?" : ", ?";
  }
  target.CreateTable(table.name, declared);
  return db::Statement(
      target,
      "INSERT INTO main." + db::QuoteName(table.name) + " (" + names + ") VALUES (" + marks + ")",
      target.Describe("writing table " + table.name));
}

}  // namespace

std::vector<CopiedTable> CopyJetToSqlite(std::string_view jetBytes, const std::string& sqlitePath,
                                         const Deadline& deadline) {
  const JetDatabase jet(jetBytes, deadline);
  const std::vector<TableDefinition> tables = jet.Tables();
  db::Database target = db::Database::Create(sqlitePath);
  db::Transaction transaction(target, "the conversion into " + sqlitePath);
  std::vector<CopiedTable> copied;
  for (const TableDefinition& table : tables) {
    db::Statement insert = InsertInto(target, table);
    const std::int64_t rows = jet.ReadRows(table, [&](const std::vector<db::Value>& values) {
      insert.BindAll(values);
      insert.Run();
      insert.Reset();
    });
    if (rows != static_cast<std::int64_t>(table.rowCount)) {
      Damaged("table " + table.name + ": " + std::to_string(rows) +
              " rows found where its header counts " + std::to_string(table.rowCount));
    }
    copied.push_back({table.name, table.rowCount});
  }
  transaction.Commit();
  return copied;
}

}  // namespace velnor::jet
