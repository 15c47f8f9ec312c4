#include "demo_db.h"

#include <sqlite3.h>

#include <cmath>
#include <sstream>
#include <stdexcept>

#include "platform/fs_path.h"

namespace velnor::demo {

bool SameValue(const Value& a, const Value& b) {
  const auto number = [](const Value& v, double& out) {
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
      out = static_cast<double>(*i);
      return true;
    }
    if (const auto* d = std::get_if<double>(&v)) {
      out = *d;
      return true;
    }
    return false;
  };
  double x = 0;
  double y = 0;
  if (number(a, x) && number(b, y)) return x == y;
  return a == b;
}

std::string ValueText(const Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return "NULL";
  if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value)) {
    std::ostringstream out;
    out << *d;
    return out.str();
  }
  return std::get<std::string>(value);
}

void DemoDb::Closer::operator()(sqlite3* db) const {
  sqlite3_close(db);  // statements are finalised before; a failing close has nothing left to lose
}

DemoDb::DemoDb(const std::filesystem::path& path, bool create) : path_(path) {
  if (create && std::filesystem::exists(path)) {
    throw std::runtime_error(Utf8Of(path) + ": already exists");
  }
  sqlite3* handle = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(Utf8Of(path).c_str(), &handle, flags, nullptr);
  db_.reset(handle);
  if (rc != SQLITE_OK) Fail("opening the database");
  // A file that is no database fails here rather than at the first table.
  Exec("SELECT count(*) FROM sqlite_master");
}

void DemoDb::Fail(const std::string& doing) const {
  const char* message = db_ ? sqlite3_errmsg(db_.get()) : "out of memory";
  throw std::runtime_error(Utf8Of(path_) + ": " + doing + ": " + message);
}

void DemoDb::Exec(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error != nullptr ? error : "unknown failure";
    sqlite3_free(error);
    throw std::runtime_error(Utf8Of(path_) + ": " + message + " in: " + sql);
  }
}

namespace {

struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

bool Bind(sqlite3_stmt* statement, const Row& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    const int at = static_cast<int>(i) + 1;
    const Value& v = values[i];
    int rc = SQLITE_OK;
    if (const auto* n = std::get_if<std::int64_t>(&v)) {
      rc = sqlite3_bind_int64(statement, at, *n);
    } else if (const auto* d = std::get_if<double>(&v)) {
      rc = sqlite3_bind_double(statement, at, *d);
    } else if (const auto* s = std::get_if<std::string>(&v)) {
      rc = sqlite3_bind_text(statement, at, s->c_str(), static_cast<int>(s->size()),
                             SQLITE_TRANSIENT);
    } else {
      rc = sqlite3_bind_null(statement, at);
    }
    if (rc != SQLITE_OK) return false;
  }
  return true;
}

}  // namespace

void DemoDb::Insert(const std::string& table, const std::vector<Row>& rows) {
  if (rows.empty()) return;
  std::string sql = "INSERT INTO \"" + table + "\" VALUES (";
  for (std::size_t i = 0; i < rows.front().size(); ++i) sql += i == 0 ? "?" : ", ?";
  sql += ")";
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    Fail("preparing the rows of " + table);
  }
  Statement statement(raw);
  Exec("BEGIN");
  for (const Row& row : rows) {
    if (!Bind(raw, row)) Fail("binding a value of " + table);
    if (sqlite3_step(raw) != SQLITE_DONE) Fail("writing a row of " + table);
    sqlite3_reset(raw);
  }
  Exec("COMMIT");
}

std::vector<Row> DemoDb::Select(const std::string& sql, const Row& parameters) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    Fail("reading with " + sql);
  }
  Statement statement(raw);
  if (!Bind(raw, parameters)) Fail("binding the values of " + sql);
  std::vector<Row> rows;
  const int columns = sqlite3_column_count(raw);
  int rc = SQLITE_OK;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    Row row;
    for (int c = 0; c < columns; ++c) {
      switch (sqlite3_column_type(raw, c)) {
        case SQLITE_INTEGER:
          row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(raw, c)));
          break;
        case SQLITE_FLOAT:
          row.emplace_back(sqlite3_column_double(raw, c));
          break;
        case SQLITE_NULL:
          row.emplace_back(std::monostate{});
          break;
        default: {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, c));
          row.emplace_back(
              std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(raw, c))));
        }
      }
    }
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) Fail("reading with " + sql);
  return rows;
}

std::vector<std::string> DemoDb::ColumnNames(const std::string& table) {
  std::vector<std::string> names;
  for (const Row& row : Select("SELECT name FROM pragma_table_info(?)", {table})) {
    names.push_back(ValueText(row.at(0)));
  }
  return names;
}

bool DemoDb::HasTable(const std::string& table) {
  return !Select("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?", {table})
              .empty();
}

}  // namespace velnor::demo
