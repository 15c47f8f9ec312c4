#include "projectdb/projectdb_fixture.h"

#include <sqlite3.h>

#include <charconv>
#include <memory>
#include <stdexcept>

#include "platform/encoding.h"
#include "platform/fs_path.h"
#include "projectdb/database.h"

namespace velnor::test {
namespace {

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

int Collate(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return db::CompareIgnoringCase(
      std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

Connection OpenOrCreate(const fs::path& path) {
  sqlite3* raw = nullptr;
  if (sqlite3_open(Utf8Of(path).c_str(), &raw) != SQLITE_OK) {
    Connection guard(raw);
    throw std::runtime_error("cannot open " + path.string());
  }
  sqlite3_create_collation(raw, db::kNoCaseCollation, SQLITE_UTF8, nullptr, Collate);
  return Connection(raw);
}

std::string Render(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
      return "i:" + std::to_string(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT: {
      char buffer[64];
      const auto end =
          std::to_chars(buffer, buffer + sizeof buffer, sqlite3_column_double(statement, column))
              .ptr;
      return "r:" + std::string(buffer, end);
    }
    case SQLITE_TEXT:
      return "t:" +
             std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                         static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(statement, column));
      std::string hex = "b:";
      static constexpr char kDigits[] = "0123456789ABCDEF";
      for (int i = 0; i < sqlite3_column_bytes(statement, column); ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
      }
      return hex;
    }
    default:
      return "null";
  }
}

}  // namespace

void ExecSql(const fs::path& database, const std::string& sql) {
  const Connection connection = OpenOrCreate(database);
  char* error = nullptr;
  if (sqlite3_exec(connection.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error != nullptr ? error : "?";
    sqlite3_free(error);
    throw std::runtime_error("SQL failed on " + database.string() + ": " + message + "\n" + sql);
  }
}

Rows QueryRows(const fs::path& database, const std::string& sql) {
  if (!fs::exists(database)) throw std::runtime_error("no database " + database.string());
  const Connection connection = OpenOrCreate(database);
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(connection.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(connection.get()));
  }
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
  Rows rows;
  while (sqlite3_step(raw) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(raw); ++i) row.push_back(Render(raw, i));
  }
  return rows;
}

Rows RowsOf(db::Database& database, const std::string& sql) {
  Rows rows;
  for (db::RecordSet records = db::RecordSet::OverQuery(database, sql, {}, "reading");
       !records.Eof(); records.MoveNext()) {
    std::vector<std::string>& row = rows.emplace_back();
    for (std::size_t i = 0; i < records.FieldCount(); ++i) {
      const db::Value value = records.Field(i);
      switch (value.kind()) {
        case db::ValueKind::Null:
          row.push_back("null");
          break;
        case db::ValueKind::Integer:
          row.push_back("i:" + std::to_string(value.integer()));
          break;
        case db::ValueKind::Text:
          row.push_back("t:" + value.text());
          break;
        default:
          row.push_back(value.ToDisplayText());
      }
    }
  }
  return rows;
}

std::string Lit(const std::string& text) {
  std::string literal = "'";
  for (const char c : text) {
    if (c == '\'') literal += '\'';
    literal += c;
  }
  return literal + "'";
}

ProjectDbTest::ProjectDbTest() {
  run.machines = {"", "Filler"};
}

void ProjectDbTest::SetCommandLine(const std::string& commandLine) {
  run.SetCommandLine(commandLine);
  run.machines = {"", "Filler"};
}

void ProjectDbTest::WriteCfg(const std::vector<std::string>& projectLines) {
  std::string text = "[Project]\r\n";
  for (const std::string& line : projectLines) text += line + "\r\n";
  TestProject::Write(project.cfgPath(), Utf8ToCp1252(text));
}

void ProjectDbTest::WriteSource(const std::vector<std::string>& patternRows,
                                const std::string& columns,
                                const std::vector<std::string>& templateRows) {
  // One transaction: a commit per row would wait for the disk at every row.
  std::string sql =
      "BEGIN; CREATE TABLE Other (x TEXT); INSERT INTO Other VALUES ('kept');"
      "CREATE TABLE Source_DEFS (System VARCHAR(20), Part INTEGER, Var_Name VARCHAR(100));";
  for (const std::string& row : patternRows) sql += "INSERT INTO Source_DEFS VALUES (" + row + ");";
  sql += "CREATE TABLE Source_PRESET_DEFS (" + columns + ");";
  for (const std::string& row : templateRows) {
    sql += "INSERT INTO Source_PRESET_DEFS VALUES (" + row + ");";
  }
  ExecSql(SourceDb(), sql + "COMMIT;");
}

void ProjectDbTest::WriteComponent(const std::string& columns,
                                   const std::vector<std::string>& rows) {
  std::string sql = "BEGIN; CREATE TABLE PRESET_DEFS (" + columns + ");";
  for (const std::string& row : rows) sql += "INSERT INTO PRESET_DEFS VALUES (" + row + ");";
  ExecSql(ComponentDb(), sql + "COMMIT;");
}

Rows ProjectDbTest::ComponentRows(const std::string& columns) const {
  return QueryRows(ComponentDb(), "SELECT " + columns + " FROM PRESET_DEFS ORDER BY rowid");
}

std::string ProjectDbTest::ErrorLog() const {
  return Cp1252ToUtf8(TestProject::Read(project.errorLog()));
}

}  // namespace velnor::test
