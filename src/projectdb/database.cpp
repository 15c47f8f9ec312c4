#include "projectdb/database.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <utility>

#include "errors/failure.h"
#include "platform/encoding.h"
#include "platform/fs_path.h"
#include "platform/paths.h"
#include "projectdb/jet/jet_conversion.h"

namespace velnor::db {
namespace {

// How long a statement waits for another program (the panel itself) to release the
// database before it fails as locked.
constexpr int kBusyTimeoutMs = 2000;
constexpr int kCacheKiB = 32 * 1024;

int CollateCallback(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return CompareIgnoringCase(
      std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
      std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

std::int32_t FailureNumberFor(int resultCode) {
  switch (resultCode & 0xFF) {
    case SQLITE_NOTADB:
      return failure_number::kNotADatabase;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return failure_number::kDatabaseLocked;
    case SQLITE_READONLY:
      return failure_number::kDatabaseReadOnly;
    default:
      return failure_number::kDatabaseError;
  }
}

[[noreturn]] void Throw(std::int32_t number, const std::string& doing, const std::string& message) {
  throw Failure(number, kEngineName, doing + ": " + message);
}

}  // namespace

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  // Names are mostly ASCII: compare byte by byte until the first byte that is not.
  std::size_t i = 0;
  const std::size_t common = std::min(a.size(), b.size());
  for (; i < common; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if ((x | y) >= 0x80) break;
    if (x == y) continue;
    const char32_t upperX = UpperCodePoint(x);
    const char32_t upperY = UpperCodePoint(y);
    if (upperX != upperY) return upperX < upperY ? -1 : 1;
  }
  std::size_t j = i;
  while (i < a.size() && j < b.size()) {
    const char32_t x = UpperCodePoint(DecodeUtf8(a, i));
    const char32_t y = UpperCodePoint(DecodeUtf8(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

void AppendFoldedCase(std::string& out, std::string_view text) {
  // Names are mostly ASCII: fold the leading ASCII run in place, then go character by
  // character from the first byte that is not.
  std::size_t ascii = 0;
  while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) ++ascii;
  const std::size_t start = out.size();
  out.resize(start + ascii);
  char* folded = out.data() + start;
  for (std::size_t i = 0; i < ascii; ++i) {
    const char c = text[i];
    folded[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
  }
  for (std::size_t i = ascii; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out += static_cast<char>(UpperCodePoint(lead));
      ++i;
      continue;
    }
    const char32_t cp = UpperCodePoint(DecodeUtf8(text, i));
    if (cp >= kStrayByte) {
      // 0xFF never occurs in UTF-8, so a stray byte cannot fold into a real character.
      out += '\xFF';
      out += static_cast<char>(cp - kStrayByte);
    } else {
      AppendUtf8(out, cp);
    }
  }
}

std::string FoldCase(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  AppendFoldedCase(folded, text);
  return folded;
}

Affinity AffinityOf(std::string_view declaredType) {
  const std::string type = UpperCase(declaredType);
  const auto has = [&](const char* part) { return type.find(part) != std::string::npos; };
  if (has("INT")) return Affinity::Integer;
  if (has("CHAR") || has("CLOB") || has("TEXT")) return Affinity::Text;
  if (has("BLOB") || type.empty()) return Affinity::Blob;
  if (has("REAL") || has("FLOA") || has("DOUB")) return Affinity::Real;
  return Affinity::Numeric;
}

std::string QuoteName(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string Value::ToDisplayText() const {
  switch (kind()) {
    case ValueKind::Null:
      return "Null";
    case ValueKind::Integer:
      return std::to_string(integer());
    case ValueKind::Real: {
      char buffer[64];
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, real());
      return std::string(buffer, result.ptr);
    }
    case ValueKind::Text:
      return text();
    case ValueKind::Blob:
      return "<" + std::to_string(blob().bytes.size()) + " bytes>";
  }
  return {};
}

std::optional<std::size_t> FindColumn(const std::vector<Column>& columns, std::string_view name) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (EqualsIgnoringCase(columns[i].name, name)) return i;
  }
  return std::nullopt;
}

Column DescribeColumn(std::string name, std::string declaredType) {
  Column column;
  column.name = std::move(name);
  column.declaredType = std::move(declaredType);
  const std::string_view declared = column.declaredType;
  const auto open = declared.find('(');
  column.type = std::string(Trim(declared.substr(0, open), " \t"));
  if (open != std::string_view::npos) {
    const std::string_view sizeText =
        Trim(declared.substr(open + 1, declared.find_first_of(",)", open) - open - 1), " \t");
    int size = 0;
    const auto [end, error] =
        std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size);
    if (error == std::errc() && end == sizeText.data() + sizeText.size()) column.size = size;
  }
  return column;
}

// --- Database ---------------------------------------------------------------------

void Database::Closer::operator()(sqlite3* connection) const noexcept {
  // close_v2 defers the close until the last statement is finalized, so the order in
  // which owners are destroyed does not matter. Its result is ignored: nothing can be
  // done about a failing close in a destructor.
  sqlite3_close_v2(connection);
}

Database::Database(std::unique_ptr<sqlite3, Closer> connection, std::string path)
    : connection_(std::move(connection)), path_(std::move(path)) {}

Database::Database(Database&& other) noexcept = default;
Database& Database::operator=(Database&& other) noexcept = default;
Database::~Database() = default;

std::unique_ptr<sqlite3, Database::Closer> Database::Connect(const char* filename, int flags,
                                                             const std::string& doing) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(filename, &raw, flags, nullptr);
  std::unique_ptr<sqlite3, Database::Closer> connection(raw);
  if (rc != SQLITE_OK) {
    Throw(FailureNumberFor(rc), doing, raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
  }
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  if (sqlite3_create_collation_v2(raw, kNoCaseCollation, SQLITE_UTF8, nullptr, CollateCallback,
                                  nullptr) != SQLITE_OK) {
    Throw(failure_number::kDatabaseError, doing, sqlite3_errmsg(raw));
  }
  return connection;
}

Database Database::Open(const std::string& path) {
  const std::string resolved = ResolvePath(path);
  const std::string doing = "opening database " + resolved;
  if (!FileExists(resolved)) {
    if (FolderExists(resolved)) Throw(failure_number::kNotADatabase, doing, "not a file");
    Throw(failure_number::kDatabaseFileNotFound, doing, "file not found");
  }
  // SQLite would take an empty file for an empty database and turn it into one on the
  // first write; an empty ".mdb" is a damaged file, not a new database.
  std::error_code error;
  if (std::filesystem::file_size(FsPath(resolved), error) == 0 && !error) {
    Throw(failure_number::kNotADatabase, doing, "file is empty, not a database");
  }
  // An Access file still here failed its conversion; it holds data and must not be
  // taken for a file that may be replaced.
  if (IsJetFile(resolved)) {
    Throw(failure_number::kDatabaseError, doing, "an Access (Jet) database, not converted");
  }

  // A connection is used by one thread only, so it needs no locks of its own.
  Database db(Connect(resolved.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, doing),
              resolved);
  db.Configure(doing);
  return db;
}

Database Database::OpenCopy(const std::string& path) {
  Database file = Open(path);
  const std::string doing = "copying database " + file.path() + " into memory";
  // Serializing reads the database through the engine, so a transaction that a killed
  // program left in the file's journal is rolled back first, as any opening would.
  sqlite3_int64 size = 0;
  unsigned char* bytes = sqlite3_serialize(file.connection_.get(), "main", &size, 0);
  if (bytes == nullptr) file.Fail(sqlite3_errcode(file.connection_.get()), doing);
  // A database in memory cannot keep a write-ahead log: one that used it is read as the
  // rollback-journal database it is once its log has been taken in (which opening did).
  constexpr sqlite3_int64 kFormatVersions = 18;  // file format write and read versions
  if (size > kFormatVersions + 1 && bytes[kFormatVersions] == 2) {
    bytes[kFormatVersions] = 1;
    bytes[kFormatVersions + 1] = 1;
  }
  std::unique_ptr<sqlite3, Closer> memory =
      Connect(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, doing);
  // The memory connection owns the bytes from here on, also when this fails.
  const int rc =
      sqlite3_deserialize(memory.get(), "main", bytes, size, size,
                          SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE);
  if (rc != SQLITE_OK) Throw(FailureNumberFor(rc), doing, sqlite3_errmsg(memory.get()));
  Database copy(std::move(memory), file.path());
  copy.Configure(doing);
  return copy;
}

std::string Database::FileImage() {
  const std::string doing = Describe("writing out the copy in memory");
  if (sqlite3_get_autocommit(connection_.get()) == 0) {
    Throw(failure_number::kDatabaseError, doing, "a transaction is still open");
  }
  sqlite3_int64 size = 0;
  // A database in memory hands out its own pages without a copy.
  const unsigned char* bytes =
      sqlite3_serialize(connection_.get(), "main", &size, SQLITE_SERIALIZE_NOCOPY);
  if (bytes != nullptr) return std::string(reinterpret_cast<const char*>(bytes), size);
  std::unique_ptr<unsigned char, decltype(&sqlite3_free)> copy(
      sqlite3_serialize(connection_.get(), "main", &size, 0), &sqlite3_free);
  if (!copy) Fail(sqlite3_errcode(connection_.get()), doing);
  return std::string(reinterpret_cast<const char*>(copy.get()), size);
}

Database Database::Create(const std::string& path) {
  const std::string doing = "creating database " + path;
  if (std::filesystem::exists(FsPath(path)))
    Throw(failure_number::kFileAccessError, doing, "file exists");
  Database db(Connect(path.c_str(),
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, doing),
              path);
  db.Configure(doing);
  return db;
}

void Database::Configure(const std::string& doing) {
  // Helper tables of a single run live in memory, never in a file beside the database.
  Execute("PRAGMA temp_store = MEMORY", doing);
  // A cache that holds a whole preset table, so that a transaction rewriting it does
  // not spill half-done pages into the file before it commits. Pages are taken only
  // as they are used.
  Execute("PRAGMA cache_size = -" + std::to_string(kCacheKiB), doing);
  // SQLite reads a file only when it first needs to: reading the schema now makes a
  // file that is no database a failure of the opening, not of some later step.
  Statement check(*this, "SELECT count(*) FROM sqlite_master", doing);
  check.Step();
}

void Database::Fail(int resultCode, const std::string& doing) const {
  Throw(FailureNumberFor(resultCode), doing, sqlite3_errmsg(connection_.get()));
}

std::string Database::Describe(const std::string& what) const {
  return what + " of " + path_;
}

std::vector<std::string> Database::TableNames() {
  Statement query(*this, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid",
                  "listing the tables of " + path_);
  std::vector<std::string> names;
  while (query.Step()) names.push_back(query.Column(0).text());
  return names;
}

bool Database::HasTableNamedExactly(std::string_view name) {
  for (const std::string& table : TableNames()) {
    if (table == name) return true;
  }
  return false;
}

std::vector<Column> Database::Columns(const std::string& table) {
  const std::string doing = Describe("reading the columns of table " + table);
  Statement query(*this, "SELECT name, type FROM pragma_table_info(?1, 'main')", doing);
  query.Bind(1, table);
  std::vector<Column> columns;
  while (query.Step()) {
    const Value type = query.Column(1);
    columns.push_back(DescribeColumn(query.Column(0).text(), type.IsText() ? type.text() : ""));
  }
  if (columns.empty()) Throw(failure_number::kItemNotFound, doing, "no such table: " + table);
  return columns;
}

std::int64_t Database::RowCount(const std::string& table) {
  Statement query(*this, "SELECT count(*) FROM main." + QuoteName(table),
                  Describe("counting the rows of table " + table));
  query.Step();
  return query.Column(0).integer();
}

void Database::CheckIntact() {
  const std::string doing = "checking database " + path_;
  std::string firstFault;
  try {
    Statement check(*this, "PRAGMA quick_check(1)", doing);
    if (check.Step()) firstFault = check.Column(0).ToDisplayText();
  } catch (const Failure& failure) {
    // The engine meets a damaged page as a failure of its own; a busy or locked file
    // stays what it is.
    if (failure.number() != failure_number::kDatabaseError) throw;
    throw Failure(failure_number::kDatabaseDamaged, failure.source(), failure.description());
  }
  if (firstFault != "ok") {
    Throw(failure_number::kDatabaseDamaged, doing, "the file is damaged (" + firstFault + ")");
  }
}

void Database::DropTable(const std::string& table) {
  Execute("DROP TABLE main." + QuoteName(table), Describe("deleting table " + table));
}

void Database::CreateTable(const std::string& table, const std::vector<Column>& columns) {
  std::string sql = "CREATE TABLE main." + QuoteName(table) + " (";
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += QuoteName(columns[i].name);
    if (!columns[i].declaredType.empty()) sql += " " + columns[i].declaredType;
  }
  sql += ")";
  Execute(sql, Describe("creating table " + table));
}

void Database::RenameColumn(const std::string& table, const std::string& from,
                            const std::string& to) {
  Execute("ALTER TABLE main." + QuoteName(table) + " RENAME COLUMN " + QuoteName(from) + " TO " +
              QuoteName(to),
          Describe("renaming column " + from + " of table " + table + " to " + to));
}

void Database::Execute(const std::string& sql, const std::string& doing) {
  Statement statement(*this, sql, doing);
  statement.Run();
}

namespace {

// The rows and values of one UpdateRows call, as the statement's functions see them.
struct RowValues {
  std::span<const std::int64_t> rowIds;
  std::span<const Value* const> values;
  std::size_t columnCount = 0;
  std::size_t next = 0;  // where the ascending scan is expected to ask next

  // The position of the row, or rowIds.size() when it is not listed. The engine walks
  // the table in rowid order, so the expected position almost always answers at once.
  std::size_t Find(std::int64_t rowId) {
    if (next < rowIds.size() && rowIds[next] == rowId) return next++;
    const auto found = std::lower_bound(rowIds.begin(), rowIds.end(), rowId);
    if (found == rowIds.end() || *found != rowId) return rowIds.size();
    next = static_cast<std::size_t>(found - rowIds.begin()) + 1;
    return next - 1;
  }
  std::size_t Position(std::int64_t rowId) const {
    const auto found = std::lower_bound(rowIds.begin(), rowIds.end(), rowId);
    if (found == rowIds.end() || *found != rowId) return rowIds.size();
    return static_cast<std::size_t>(found - rowIds.begin());
  }
};

constexpr const char* kListedFunction = "velnor_row_listed";
constexpr const char* kValueFunction = "velnor_row_value";

void RowListed(sqlite3_context* context, int, sqlite3_value** arguments) {
  auto* rows = static_cast<RowValues*>(sqlite3_user_data(context));
  const std::size_t position = rows->Find(sqlite3_value_int64(arguments[0]));
  sqlite3_result_int(context, position < rows->rowIds.size() ? 1 : 0);
}

void RowValue(sqlite3_context* context, int, sqlite3_value** arguments) {
  auto* rows = static_cast<RowValues*>(sqlite3_user_data(context));
  const std::size_t position = rows->Position(sqlite3_value_int64(arguments[0]));
  const auto column = static_cast<std::size_t>(sqlite3_value_int64(arguments[1]));
  if (position >= rows->rowIds.size() || column >= rows->columnCount) {
    sqlite3_result_error(context, "no value for this row", -1);
    return;
  }
  const Value& value = *rows->values[position * rows->columnCount + column];
  // The values outlive the statement, so the engine need not copy them here; it copies
  // them into the row it writes.
  switch (value.kind()) {
    case ValueKind::Null:
      sqlite3_result_null(context);
      break;
    case ValueKind::Integer:
      sqlite3_result_int64(context, value.integer());
      break;
    case ValueKind::Real:
      sqlite3_result_double(context, value.real());
      break;
    case ValueKind::Text:
      sqlite3_result_text64(context, value.text().data(), value.text().size(), SQLITE_STATIC,
                            SQLITE_UTF8);
      break;
    case ValueKind::Blob:
      sqlite3_result_blob64(context, value.blob().bytes.data(), value.blob().bytes.size(),
                            SQLITE_STATIC);
      break;
  }
}

// Registers the two functions for the length of one statement.
class RowFunctions {
 public:
  RowFunctions(sqlite3* connection, RowValues& rows) : connection_(connection) {
    ok_ =
        sqlite3_create_function_v2(connection, kListedFunction, 1, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                   &rows, RowListed, nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_create_function_v2(connection, kValueFunction, 2, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                   &rows, RowValue, nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  ~RowFunctions() {
    sqlite3_create_function_v2(connection_, kListedFunction, 1, SQLITE_UTF8, nullptr, nullptr,
                               nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(connection_, kValueFunction, 2, SQLITE_UTF8, nullptr, nullptr,
                               nullptr, nullptr, nullptr);
  }
  RowFunctions(const RowFunctions&) = delete;
  RowFunctions& operator=(const RowFunctions&) = delete;
  bool ok() const { return ok_; }

 private:
  sqlite3* connection_;
  bool ok_ = false;
};

}  // namespace

void Database::UpdateRows(const std::string& table, const std::vector<std::string>& columns,
                          std::span<const std::int64_t> rowIds,
                          std::span<const Value* const> values, const std::string& doing) {
  if (rowIds.empty() || columns.empty()) return;
  if (values.size() != rowIds.size() * columns.size()) {
    Throw(failure_number::kDatabaseError, doing, "a row without all of its values");
  }
  RowValues rows{rowIds, values, columns.size()};
  RowFunctions functions(connection_.get(), rows);
  if (!functions.ok()) Fail(sqlite3_errcode(connection_.get()), doing);
  std::string sql = "UPDATE main." + QuoteName(table) + " SET ";
  for (std::size_t k = 0; k < columns.size(); ++k) {
    if (k > 0) sql += ", ";
    sql += QuoteName(columns[k]) + " = " + kValueFunction + "(_rowid_, " + std::to_string(k) + ")";
  }
  sql += std::string(" WHERE ") + kListedFunction + "(_rowid_)";
  Statement update(*this, sql, doing);
  update.Run();
}

// --- Statement --------------------------------------------------------------------

void Statement::Finalizer::operator()(sqlite3_stmt* statement) const noexcept {
  sqlite3_finalize(statement);
}

Statement::Statement(Database& db, const std::string& sql, std::string doing)
    : connection_(db.connection_.get()), path_(db.path()), doing_(std::move(doing)) {
  sqlite3_stmt* raw = nullptr;
  const int rc = sqlite3_prepare_v3(connection_, sql.c_str(), static_cast<int>(sql.size()),
                                    SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  statement_.reset(raw);
  if (rc != SQLITE_OK) Fail(rc);
  if (raw == nullptr) Throw(failure_number::kDatabaseError, doing_, "empty statement");
}

Statement::Statement(Statement&& other) noexcept = default;
Statement& Statement::operator=(Statement&& other) noexcept = default;
Statement::~Statement() = default;

void Statement::Fail(int resultCode) const {
  const std::string message = sqlite3_errmsg(connection_);
  // A failed statement must not keep its locks while the failure is being reported.
  if (statement_) sqlite3_reset(statement_.get());
  Throw(FailureNumberFor(resultCode), doing_, message);
}

void Statement::Bind(int index, const Value& value) {
  sqlite3_stmt* s = statement_.get();
  int rc = SQLITE_OK;
  switch (value.kind()) {
    case ValueKind::Null:
      rc = sqlite3_bind_null(s, index);
      break;
    case ValueKind::Integer:
      rc = sqlite3_bind_int64(s, index, value.integer());
      break;
    case ValueKind::Real:
      rc = sqlite3_bind_double(s, index, value.real());
      break;
    case ValueKind::Text:
      rc = sqlite3_bind_text64(s, index, value.text().data(), value.text().size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
      break;
    case ValueKind::Blob:
      rc = sqlite3_bind_blob64(s, index, value.blob().bytes.data(), value.blob().bytes.size(),
                               SQLITE_TRANSIENT);
      break;
  }
  if (rc != SQLITE_OK) Fail(rc);
}

void Statement::BindAll(const std::vector<Value>& values) {
  sqlite3_stmt* s = statement_.get();
  for (std::size_t i = 0; i < values.size(); ++i) {
    const Value& value = values[i];
    const int index = static_cast<int>(i) + 1;
    int rc = SQLITE_OK;
    // The values outlive the run, so the engine need not copy them.
    switch (value.kind()) {
      case ValueKind::Text:
        rc = sqlite3_bind_text64(s, index, value.text().data(), value.text().size(), SQLITE_STATIC,
                                 SQLITE_UTF8);
        break;
      case ValueKind::Blob:
        rc = sqlite3_bind_blob64(s, index, value.blob().bytes.data(), value.blob().bytes.size(),
                                 SQLITE_STATIC);
        break;
      default:
        Bind(index, value);
    }
    if (rc != SQLITE_OK) Fail(rc);
  }
}

bool Statement::Step() {
  const int rc = sqlite3_step(statement_.get());
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(rc);
}

void Statement::Run() {
  while (Step()) {
  }
  Reset();
}

void Statement::Reset() {
  // The error of the last step was reported by Step already.
  sqlite3_reset(statement_.get());
}

int Statement::ColumnCount() const {
  return sqlite3_column_count(statement_.get());
}

std::string Statement::ColumnName(int index) const {
  const char* name = sqlite3_column_name(statement_.get(), index);
  return name != nullptr ? name : "";
}

Value Statement::Column(int index) const {
  sqlite3_stmt* s = statement_.get();
  switch (sqlite3_column_type(s, index)) {
    case SQLITE_INTEGER:
      return Value(static_cast<std::int64_t>(sqlite3_column_int64(s, index)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(s, index));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, index));
      return Value(std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(s, index))));
    }
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(s, index));
      const auto size = static_cast<std::size_t>(sqlite3_column_bytes(s, index));
      return Value(Blob{bytes != nullptr ? std::string(bytes, size) : std::string()});
    }
    default:
      return Value();
  }
}

// --- RecordSet --------------------------------------------------------------------

RecordSet::RecordSet(Statement statement, std::string source, std::int64_t recordCount)
    : statement_(std::move(statement)), source_(std::move(source)), recordCount_(recordCount) {
  for (int i = 0; i < statement_.ColumnCount(); ++i)
    fieldNames_.push_back(statement_.ColumnName(i));
  eof_ = !statement_.Step();
}

RecordSet RecordSet::OverTable(Database& db, const std::string& table) {
  const std::string source = db.Describe("table " + table);
  // Columns() fails with "no such table" when the table is missing.
  db.Columns(table);
  const std::int64_t count = db.RowCount(table);
  Statement statement(db, "SELECT * FROM main." + QuoteName(table), "reading " + source);
  return RecordSet(std::move(statement), source, count);
}

RecordSet RecordSet::OverQuery(Database& db, const std::string& sql,
                               const std::vector<Value>& parameters, const std::string& doing) {
  Statement statement(db, sql, doing);
  statement.BindAll(parameters);
  RecordSet records(std::move(statement), doing, 0);
  records.recordCount_ = records.eof_ ? 0 : 1;
  return records;
}

std::optional<std::size_t> RecordSet::FieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < fieldNames_.size(); ++i) {
    if (EqualsIgnoringCase(fieldNames_[i], name)) return i;
  }
  return std::nullopt;
}

void RecordSet::MoveNext() {
  if (eof_) Throw(failure_number::kDatabaseError, "reading " + source_, "no current record");
  eof_ = !statement_.Step();
}

Value RecordSet::Field(std::size_t index) const {
  if (eof_) Throw(failure_number::kDatabaseError, "reading " + source_, "no current record");
  if (index >= fieldNames_.size()) {
    Throw(failure_number::kItemNotFound, "reading " + source_,
          "no field number " + std::to_string(index));
  }
  return statement_.Column(static_cast<int>(index));
}

Value RecordSet::Field(std::string_view name) const {
  const auto index = FieldIndex(name);
  if (!index) {
    Throw(failure_number::kItemNotFound, "reading " + source_,
          "no such column: " + std::string(name));
  }
  return Field(*index);
}

// --- Transaction ------------------------------------------------------------------

Transaction::Transaction(Database& db, std::string what) : db_(db), what_(std::move(what)) {
  db_.Execute("BEGIN", db_.Describe("beginning the transaction of " + what_));
}

Transaction::~Transaction() {
  if (state_ != State::Active) return;
  // Rolling back in a destructor cannot report; a failed rollback leaves the journal,
  // which SQLite rolls back when the file is opened next.
  try {
    db_.Execute("ROLLBACK", db_.Describe("rolling back " + what_));
  } catch (const std::exception&) {
  }
}

void Transaction::Commit() {
  db_.Execute("COMMIT", db_.Describe("committing " + what_));
  state_ = State::Committed;
}

}  // namespace velnor::db
