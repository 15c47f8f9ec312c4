#pragma once
// The few SQLite operations the generator and its summary need, with the engine's own
// words in every failure.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;

namespace velnor::demo {

// A column value as SQLite stores it.
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;
using Row = std::vector<Value>;

// Numbers compare by value (10 equals 10.0), texts by bytes, null only null.
bool SameValue(const Value& a, const Value& b);
// A value as text: NULL, a number as a stream writes it, a text as it is.
std::string ValueText(const Value& value);

class DemoDb {
 public:
  // Opens the file; create makes a new one (an existing file is an error then).
  // Failures throw std::runtime_error naming the file.
  DemoDb(const std::filesystem::path& path, bool create);

  void Exec(const std::string& sql);
  // Inserts rows into table; every value bound, none pasted into the SQL text.
  void Insert(const std::string& table, const std::vector<Row>& rows);
  std::vector<Row> Select(const std::string& sql, const Row& parameters = {});
  std::vector<std::string> ColumnNames(const std::string& table);
  bool HasTable(const std::string& table);

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  std::filesystem::path path_;
  std::unique_ptr<sqlite3, Closer> db_;
  [[noreturn]] void Fail(const std::string& doing) const;
};

}  // namespace velnor::demo
