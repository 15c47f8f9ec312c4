#include "projectdb/database.h"

#include <cmath>

#include "errors/failure.h"
#include "platform/paths.h"
#include "projectdb/comparison_keys.h"
#include "projectdb/projectdb_fixture.h"

namespace velnor::test {
namespace {

class DatabaseTest : public ::testing::Test {
 protected:
  fs::path Path(const std::string& name) const { return project.base() / name; }

  // The failure that opening path raises.
  static Failure OpenFailure(const fs::path& path) {
    try {
      db::Database::Open(path.string());
    } catch (const Failure& failure) {
      return failure;
    }
    return Failure(0, "", "opened");
  }

  TestProject project;
};

TEST_F(DatabaseTest, OpeningAMissingFileFailsAndCreatesNothing) {
  const Failure failure = OpenFailure(Path("missing.mdb"));
  EXPECT_EQ(failure.number(), failure_number::kDatabaseFileNotFound);
  EXPECT_EQ(failure.source(), "SQLite");
  EXPECT_EQ(failure.description(),
            "opening database " + Path("missing.mdb").string() + ": file not found");
  EXPECT_FALSE(fs::exists(Path("missing.mdb")));
}

TEST_F(DatabaseTest, OpeningAFileThatIsNoDatabaseFailsAndLeavesItAsItWas) {
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {{"empty.mdb", "", "file is empty, not a database"},
               {"text.mdb", std::string(4096, 'x'), "file is not a database"},
               {"short.mdb", "SQLite format", "file is not a database"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestProject::Write(Path(c.name), c.bytes);
    const Failure failure = OpenFailure(Path(c.name));
    EXPECT_EQ(failure.number(), failure_number::kNotADatabase);
    EXPECT_EQ(failure.description(), "opening database " + Path(c.name).string() + ": " + c.reason);
    EXPECT_EQ(TestProject::Read(Path(c.name)), c.bytes);
  }
}

TEST_F(DatabaseTest, FindsTheFileWithoutRegardToCase) {
  ExecSql(Path("Widget.MDB"), "CREATE TABLE t (x)");
  db::Database database = db::Database::Open(Path("widget.mdb").string());
  // Windows finds the file under either spelling itself and keeps the one asked for.
  EXPECT_EQ(database.path(), Path(kPathSeparator == '/' ? "Widget.MDB" : "widget.mdb").string());
}

TEST_F(DatabaseTest, ReadingLeavesTheFileByteForByteUnchanged) {
  ExecSql(Path("a.mdb"),
          "CREATE TABLE t (x TEXT, y INTEGER); INSERT INTO t VALUES ('a', 1), ('b', 2);");
  const std::string before = TestProject::Read(Path("a.mdb"));
  const auto time = fs::last_write_time(Path("a.mdb"));
  {
    db::Database database = db::Database::Open(Path("a.mdb").string());
    database.TableNames();
    database.Columns("t");
    db::RecordSet records = db::RecordSet::OverTable(database, "t");
    while (!records.Eof()) records.MoveNext();
    db::Transaction unused(database, "nothing");
  }
  EXPECT_EQ(TestProject::Read(Path("a.mdb")), before);
  EXPECT_EQ(fs::last_write_time(Path("a.mdb")), time);
  EXPECT_EQ(QueryRows(Path("a.mdb"), "PRAGMA journal_mode"), Rows{{"t:delete"}});
  EXPECT_FALSE(fs::exists(Path("a.mdb-journal")));
  EXPECT_FALSE(fs::exists(Path("a.mdb-wal")));
}

TEST_F(DatabaseTest, ValuesKeepTheirKindThroughWritingAndReading) {
  ExecSql(Path("v.mdb"), "CREATE TABLE t (v)");
  db::Database database = db::Database::Open(Path("v.mdb").string());
  const std::vector<db::Value> values = {db::Value(), db::Value(std::int64_t{-9000000000}),
                                         db::Value(2.5), db::Value("Füller \"quoted\""),
                                         db::Value(db::Blob{std::string("\0\xFF", 2)})};
  db::Statement insert(database, "INSERT INTO t VALUES (?1)", "test");
  for (const db::Value& value : values) {
    insert.Bind(1, value);
    insert.Run();
  }
  db::RecordSet records = db::RecordSet::OverTable(database, "t");
  EXPECT_EQ(records.RecordCount(), 5);
  std::vector<db::Value> read;
  for (; !records.Eof(); records.MoveNext()) read.push_back(records.Field("V"));
  EXPECT_EQ(read, values);
}

TEST_F(DatabaseTest, UpdatingRowsByRowIdWritesEachRowsOwnValuesAndLeavesTheOthers) {
  ExecSql(Path("u.mdb"),
          "CREATE TABLE t (k INTEGER, v, r REAL);"
          "INSERT INTO t VALUES (1, 'one', 1.5), (2, 'two', 2.5), (3, 'three', 3.5),"
          " (4, 'four', 4.5), (5, 'five', 5.5);"
          "DELETE FROM t WHERE k = 3;");
  db::Database database = db::Database::Open(Path("u.mdb").string());
  // Every kind, and a text that the REAL column converts as an UPDATE would.
  const std::vector<db::Value> values = {
      db::Value(),         db::Value("7"),
      db::Value(2.25),     db::Value(db::Blob{std::string("\0\xFF", 2)}),
      db::Value("Füller"), db::Value(std::int64_t{9})};
  const std::vector<const db::Value*> pointers = {&values[0], &values[1], &values[2],
                                                  &values[3], &values[4], &values[5]};
  const std::vector<std::int64_t> rowIds = {1, 4, 5};
  database.UpdateRows("t", {"v", "r"}, rowIds, pointers, "test");

  db::RecordSet records = db::RecordSet::OverTable(database, "t");
  std::vector<std::vector<db::Value>> rows;
  for (; !records.Eof(); records.MoveNext()) {
    rows.push_back({records.Field("k"), records.Field("v"), records.Field("r")});
  }
  const std::vector<std::vector<db::Value>> expected = {
      {db::Value(1), db::Value(), db::Value(7.0)},
      {db::Value(2), db::Value("two"), db::Value(2.5)},
      {db::Value(4), db::Value(2.25), db::Value(db::Blob{std::string("\0\xFF", 2)})},
      {db::Value(5), db::Value("Füller"), db::Value(9.0)}};
  EXPECT_EQ(rows, expected);
}

TEST_F(DatabaseTest, CreatesATableWithAnotherTablesColumnsTypesAndSizes) {
  ExecSql(Path("c.mdb"),
          "CREATE TABLE Template (ID INTEGER PRIMARY KEY, name VARCHAR(50) NOT NULL "
          "DEFAULT 'x', amount DECIMAL(10, 2), plain)");
  db::Database database = db::Database::Open(Path("c.mdb").string());
  const std::vector<db::Column> columns = database.Columns("Template");
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_EQ(columns[1].type, "VARCHAR");
  EXPECT_EQ(columns[1].size, 50);
  EXPECT_EQ(columns[2].type, "DECIMAL");
  EXPECT_EQ(columns[2].size, 10);
  EXPECT_EQ(columns[0].size, 0);

  database.CreateTable("Copy", columns);
  database.Execute("INSERT INTO Copy (ID) VALUES (5)", "test");
  EXPECT_EQ(QueryRows(Path("c.mdb"), "SELECT name, type FROM pragma_table_info('Copy')"),
            (Rows{{"t:ID", "t:INTEGER"},
                  {"t:name", "t:VARCHAR(50)"},
                  {"t:amount", "t:DECIMAL(10, 2)"},
                  {"t:plain", "t:"}}));
  // No key and no default came along: the row is stored as given.
  EXPECT_EQ(QueryRows(Path("c.mdb"), "SELECT rowid, ID, name FROM Copy"),
            (Rows{{"i:1", "i:5", "null"}}));
}

TEST_F(DatabaseTest, RenamingAColumnKeepsItsValues) {
  ExecSql(Path("r.mdb"), "CREATE TABLE t (a, Categorie); INSERT INTO t VALUES (1, 'x');");
  db::Database database = db::Database::Open(Path("r.mdb").string());
  database.RenameColumn("t", "Categorie", "category_id");
  EXPECT_EQ(QueryRows(Path("r.mdb"), "SELECT category_id FROM t"), Rows{{"t:x"}});
}

TEST_F(DatabaseTest, ATransactionIsRolledBackUnlessCommitted) {
  ExecSql(Path("t.mdb"), "CREATE TABLE t (x)");
  db::Database database = db::Database::Open(Path("t.mdb").string());
  {
    db::Transaction transaction(database, "test");
    database.Execute("INSERT INTO t VALUES (1)", "test");
  }
  {
    db::Transaction transaction(database, "test");
    database.Execute("INSERT INTO t VALUES (2)", "test");
    transaction.Commit();
    EXPECT_EQ(transaction.state(), db::Transaction::State::Committed);
  }
  EXPECT_EQ(QueryRows(Path("t.mdb"), "SELECT x FROM t"), Rows{{"i:2"}});
}

TEST_F(DatabaseTest, AFailureNamesWhatWasDoneTheTableTheFileAndTheEnginesMessage) {
  ExecSql(Path("f.mdb"), "CREATE TABLE t (x, y)");
  db::Database database = db::Database::Open(Path("f.mdb").string());
  try {
    db::RecordSet::OverTable(database, "Missing");
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(), failure_number::kItemNotFound);
    EXPECT_EQ(failure.description(), "reading the columns of table Missing of " +
                                         Path("f.mdb").string() + ": no such table: Missing");
  }
  try {
    database.RenameColumn("t", "x", "y");
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(), failure_number::kDatabaseError);
    EXPECT_EQ(failure.description(),
              "renaming column x of table t to y of " + Path("f.mdb").string() +
                  ": error in table t after rename: duplicate column name: y");
  }
}

TEST_F(DatabaseTest, TextComparesWithoutRegardToCaseByTheLettersOfWindows1252) {
  const struct {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {{"MFILLER.Speed", "MFiller.Speed", 0},
               {"Füller", "FÜLLER", 0},
               {"ÿœšž", "ŸŒŠŽ", 0},
               {"ß", "SS", 1},  // no letter of Windows-1252 turns into two
               {"a", "B", -1},
               {"ab", "A", 1},
               {"", "", 0},
               {"Say\"Hi", "SAY\"HI", 0},
               {"\xFF", "\xDF", 1}};  // stray bytes compare by value, never equal a letter
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    const int result = db::CompareIgnoringCase(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign);
    EXPECT_EQ(-db::CompareIgnoringCase(c.b, c.a) > 0, c.sign > 0);
    EXPECT_EQ(db::FoldCase(c.a) == db::FoldCase(c.b), c.sign == 0);
  }
  ExecSql(Path("n.mdb"),
          "CREATE TABLE t (x TEXT); INSERT INTO t VALUES ('MFILLER.Speed'), ('other');");
  db::Database database = db::Database::Open(Path("n.mdb").string());
  db::RecordSet found = db::RecordSet::OverQuery(
      database, std::string("SELECT x FROM t WHERE x = ?1 COLLATE ") + db::kNoCaseCollation,
      {db::Value("MFiller.Speed")}, "test");
  ASSERT_FALSE(found.Eof());
  EXPECT_EQ(found.Field(0), db::Value("MFILLER.Speed"));
}

TEST(Affinity, FollowsTheEnginesRulesForDeclaredTypes) {
  const struct {
    const char* declared;
    db::Affinity affinity;
  } cases[] = {{"VARCHAR(50)", db::Affinity::Text}, {"INTEGER", db::Affinity::Integer},
               {"BIGINT", db::Affinity::Integer},   {"", db::Affinity::Blob},
               {"BLOB", db::Affinity::Blob},        {"REAL", db::Affinity::Real},
               {"double", db::Affinity::Real},      {"DECIMAL(10,2)", db::Affinity::Numeric},
               {"CLOB", db::Affinity::Text},        {"FLOATING POINT", db::Affinity::Integer},
               {"DATETIME", db::Affinity::Numeric}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.declared);
    EXPECT_EQ(db::AffinityOf(c.declared), c.affinity);
  }
}

// Keys must be equal exactly when the engine's "=" finds a stored value equal to a
// compared one, for every pair of kinds and every kind of column.
TEST_F(DatabaseTest, ComparisonKeysAgreeWithTheEnginesEquality) {
  const std::vector<db::Value> values = {
      db::Value(),         db::Value(5),           db::Value(5.0),
      db::Value(5.5),      db::Value(-0.0),        db::Value(0),
      db::Value("5"),      db::Value(" 5 "),       db::Value("5.0"),
      db::Value("5.5"),    db::Value("abc"),       db::Value("ABC"),
      db::Value("Füller"), db::Value("FÜLLER"),    db::Value(db::Blob{"5"}),
      db::Value(1e300),    db::Value(std::nan(""))};
  ExecSql(Path("k.mdb"), "CREATE TABLE k (c)");
  db::Database database = db::Database::Open(Path("k.mdb").string());
  for (const char* type : {"VARCHAR(50)", "INTEGER", "REAL", "NUMERIC", ""}) {
    for (const bool ignoreCase : {true, false}) {
      SCOPED_TRACE(std::string(type) + (ignoreCase ? " ignoring case" : ""));
      database.Execute("DROP TABLE IF EXISTS t", "test");
      database.Execute(std::string("CREATE TABLE t (c ") + type + ")", "test");
      db::Statement insert(database, "INSERT INTO t VALUES (?1)", "test");
      for (const db::Value& value : values) {
        insert.Bind(1, value);
        insert.Run();
      }
      db::ComparisonKeys keys(database, {{type, ignoreCase}});
      db::Statement equal(database,
                          std::string("SELECT count(*) FROM t WHERE rowid = ?1 AND c = ?2") +
                              (ignoreCase ? std::string(" COLLATE ") + db::kNoCaseCollation : ""),
                          "test");
      db::Statement stored(database, "SELECT c FROM t WHERE rowid = ?1", "test");
      for (std::size_t row = 1; row <= values.size(); ++row) {
        stored.Bind(1, static_cast<std::int64_t>(row));
        stored.Step();
        const auto storedKey = keys.OfStored(std::vector<db::Value>{stored.Column(0)});
        stored.Reset();
        for (const db::Value& compared : values) {
          SCOPED_TRACE("stored " + values[row - 1].ToDisplayText() + ", compared " +
                       compared.ToDisplayText());
          equal.Bind(1, static_cast<std::int64_t>(row));
          equal.Bind(2, compared);
          equal.Step();
          const bool engineSaysEqual = equal.Column(0).integer() == 1;
          equal.Reset();
          const auto comparedKey = keys.OfCompared(std::vector<db::Value>{compared});
          EXPECT_EQ(storedKey && comparedKey && *storedKey == *comparedKey, engineSaysEqual);
        }
      }
    }
  }
}

}  // namespace
}  // namespace velnor::test
