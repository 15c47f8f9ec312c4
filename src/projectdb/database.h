#pragma once
// The project's own narrow interface to its database engine (SQLite 3). It offers what
// the preset-table procedures need and no more: opening a database file by its path,
// the tables and their columns, dropping and creating tables, renaming a column,
// reading rows in stored order, and prepared statements with bound values inside
// transactions. The engine's header stays inside database.cpp.
//
// Every failure is a velnor::Failure whose source is kEngineName and whose description
// names what was being done (the table and the file) followed by the engine's own
// message, so the failure convention can report it like any other.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velnor::db {

// The source of every failure this layer raises.
inline constexpr const char* kEngineName = "SQLite";

// The comparison the tool's queries use for text: case-insensitive by the letters of
// Windows-1252 ("ü" equals "Ü"), as the original engine compared, and otherwise by
// code point. Registered on every connection this layer opens.
inline constexpr const char* kNoCaseCollation = "CP1252_NOCASE";

// <0, 0, >0 like strcmp, for UTF-8 texts under kNoCaseCollation.
int CompareIgnoringCase(std::string_view a, std::string_view b);

// The text with every letter in upper case by the same rules: two texts compare equal
// under kNoCaseCollation exactly when their folded forms are equal byte for byte.
std::string FoldCase(std::string_view text);
void AppendFoldedCase(std::string& out, std::string_view text);

// How a column converts the values stored in it or compared with it, by the engine's
// rules for its declared type ("VARCHAR(50)" is Text, "INTEGER" Integer, "" Blob).
enum class Affinity { Text, Numeric, Integer, Real, Blob };
Affinity AffinityOf(std::string_view declaredType);

// An identifier as SQL text: in double quotes, inner double quotes doubled.
std::string QuoteName(std::string_view name);

// Bytes that are not text.
struct Blob {
  std::string bytes;
  bool operator==(const Blob&) const = default;
};

enum class ValueKind { Null, Integer, Real, Text, Blob };

// A column value that keeps its kind.
class Value {
 public:
  Value() = default;
  Value(std::nullptr_t) {}
  Value(std::int64_t integer) : data_(integer) {}
  Value(int integer) : data_(static_cast<std::int64_t>(integer)) {}
  Value(double real) : data_(real) {}
  Value(std::string text) : data_(std::move(text)) {}
  Value(const char* text) : data_(std::string(text)) {}
  Value(Blob blob) : data_(std::move(blob)) {}

  ValueKind kind() const { return static_cast<ValueKind>(data_.index()); }
  bool IsNull() const { return kind() == ValueKind::Null; }
  bool IsText() const { return kind() == ValueKind::Text; }

  // The value of that kind; calling the wrong one is a programming error.
  std::int64_t integer() const { return std::get<std::int64_t>(data_); }
  double real() const { return std::get<double>(data_); }
  const std::string& text() const { return std::get<std::string>(data_); }
  std::string& text() { return std::get<std::string>(data_); }
  const Blob& blob() const { return std::get<Blob>(data_); }

  // For messages: the value as the user would read it ("Null" for null).
  std::string ToDisplayText() const;

  bool operator==(const Value&) const = default;

 private:
  std::variant<std::monostate, std::int64_t, double, std::string, Blob> data_;
};

// A column of a table. A declared type "VARCHAR(50)" gives type "VARCHAR" and size 50;
// "INTEGER" gives type "INTEGER" and size 0.
struct Column {
  std::string name;
  std::string declaredType;
  std::string type;
  int size = 0;
};

// Splits a declared type into its type name and size.
Column DescribeColumn(std::string name, std::string declaredType);

// The position of the first column whose name matches without regard to case.
std::optional<std::size_t> FindColumn(const std::vector<Column>& columns, std::string_view name);

class Statement;

// An open database file. Opening never creates a file and never writes to it; SQLite's
// rollback journal is kept as it is, so a database that is only read stays
// byte-for-byte unchanged.
class Database {
 public:
  // Opens an existing SQLite database (the file name is matched without regard to case
  // when the exact one does not exist). A missing file, an empty file or a file that
  // is no SQLite database is a failure.
  static Database Open(const std::string& path);
  // Opens the database as Open does and works on a copy of it in memory: what is
  // changed through this connection never reaches the file. Failures name the file.
  static Database OpenCopy(const std::string& path);
  // Creates a new, empty database file; a file already at that path is a failure.
  static Database Create(const std::string& path);

  // The whole database as a file holds it, for a copy in memory to be written out. A
  // transaction still open is a failure.
  std::string FileImage();

  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  ~Database();  // closes; never throws

  // The path as it was resolved on disk.
  const std::string& path() const { return path_; }

  // Names of the tables in stored order (creation order).
  std::vector<std::string> TableNames();
  // Whether a table of exactly this name exists (case-sensitive comparison).
  bool HasTableNamedExactly(std::string_view name);
  // The table's columns in order; a missing table is a failure (kItemNotFound).
  std::vector<Column> Columns(const std::string& table);
  std::int64_t RowCount(const std::string& table);
  // Reads every page through the engine's own check of its structure. A file cut
  // short or damaged inside fails here (kDatabaseDamaged, naming the file and the first
  // fault found) rather than halfway through a change to it.
  void CheckIntact();

  void DropTable(const std::string& table);
  // A new table with exactly these columns, each declared with its declared type; no
  // key, no index, no other column property.
  void CreateTable(const std::string& table, const std::vector<Column>& columns);
  // Gives a column a new name; its values stay.
  void RenameColumn(const std::string& table, const std::string& from, const std::string& to);

  // Runs SQL that returns no rows. doing says what for the failure's description.
  void Execute(const std::string& sql, const std::string& doing);

  // Writes new values into rows of a table with one statement, so that each row costs
  // one pass of the engine's update loop instead of a statement of its own. rowIds are
  // ascending and distinct; values holds, row after row, one value per column. The
  // values are stored as an UPDATE with bound values would store them (the column's
  // affinity applies); rows not listed stay as they are. Runs inside the caller's
  // transaction, if any.
  void UpdateRows(const std::string& table, const std::vector<std::string>& columns,
                  std::span<const std::int64_t> rowIds, std::span<const Value* const> values,
                  const std::string& doing);

  // "opening table X of <path>"-style descriptions: what + " of " + path.
  std::string Describe(const std::string& what) const;

 private:
  friend class Statement;
  struct Closer {
    void operator()(sqlite3* connection) const noexcept;
  };

  Database(std::unique_ptr<sqlite3, Closer> connection, std::string path);
  // A connection to filename with the project's settings: extended result codes, the
  // busy timeout and the collation of its text comparisons.
  static std::unique_ptr<sqlite3, Closer> Connect(const char* filename, int flags,
                                                  const std::string& doing);
  // The settings of every connection after it is made, and the first read of the schema.
  void Configure(const std::string& doing);
  [[noreturn]] void Fail(int resultCode, const std::string& doing) const;

  std::unique_ptr<sqlite3, Closer> connection_;
  std::string path_;
};

// A prepared statement, reused across rows: bind, step, reset.
class Statement {
 public:
  Statement(Database& db, const std::string& sql, std::string doing);
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  ~Statement();

  // Parameters count from 1.
  void Bind(int index, const Value& value);
  // Binds values to parameters 1..n without copying them: they must stay alive and
  // unchanged until the statement has run.
  void BindAll(const std::vector<Value>& values);
  // Advances to the next row; false when there is none.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  // Ready to run again; bindings stay.
  void Reset();

  int ColumnCount() const;
  std::string ColumnName(int index) const;
  Value Column(int index) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
  };
  [[noreturn]] void Fail(int resultCode) const;

  sqlite3* connection_ = nullptr;
  std::string path_;
  std::string doing_;
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};

// The rows of a table in stored order, or of a query, read one after the other.
// Positioned on the first row after opening; Eof() after the last.
class RecordSet {
 public:
  static RecordSet OverTable(Database& db, const std::string& table);
  static RecordSet OverQuery(Database& db, const std::string& sql,
                             const std::vector<Value>& parameters, const std::string& doing);

  std::size_t FieldCount() const { return fieldNames_.size(); }
  // The position of the field whose name matches without regard to case.
  std::optional<std::size_t> FieldIndex(std::string_view name) const;

  // A table's exact number of rows. A query, whose rows are not known in advance,
  // reports 1 when it has a row and 0 when it has none, as the original engine did
  // before the last row was reached.
  std::int64_t RecordCount() const { return recordCount_; }

  bool Eof() const { return eof_; }
  void MoveNext();

  Value Field(std::size_t index) const;
  // A missing field is a failure (kItemNotFound).
  Value Field(std::string_view name) const;

 private:
  RecordSet(Statement statement, std::string source, std::int64_t recordCount);

  Statement statement_;
  std::string source_;  // "table X of <path>" for messages
  std::vector<std::string> fieldNames_;
  std::int64_t recordCount_ = 0;
  bool eof_ = true;
};

// Begins a transaction; rolls it back on destruction unless committed.
class Transaction {
 public:
  enum class State { Active, Committed };

  Transaction(Database& db, std::string what);
  ~Transaction();  // rolls back when still active; never throws
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void Commit();
  State state() const { return state_; }

 private:
  Database& db_;
  std::string what_;
  State state_ = State::Active;
};

}  // namespace velnor::db
