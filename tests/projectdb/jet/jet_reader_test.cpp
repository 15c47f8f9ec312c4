// The Jet reader on the layouts the public files and files made from them hold: the
// value of one column of one row, read without the SQLite side of the conversion.
#include "projectdb/jet/jet_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "jet_synthetic.h"
#include "support/test_project.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;

const fs::path kJetFiles = VELNOR_JET_TESTDATA;

struct Found {
  std::size_t columns = 0;
  std::string lastColumn;
  std::int64_t rows = 0;
  std::string value;  // of the asked column in the asked row, as text; "NULL" for null
};

Found Read(const std::string& bytes, const std::string& tableName, std::int64_t row,
           std::size_t column) {
  const jet::Deadline deadline(std::chrono::seconds(20));
  const jet::JetDatabase database(bytes, deadline);
  for (const jet::TableDefinition& table : database.Tables()) {
    if (table.name != tableName) continue;
    Found found{table.columns.size(), table.columns.back().name, 0, "no such row"};
    found.rows = database.ReadRows(table, [&](const std::vector<db::Value>& values) {
      if (found.rows++ != row) return;
      const db::Value& value = values.at(column);
      found.value = value.IsNull() ? "NULL"
                    : value.kind() == db::ValueKind::Blob
                        ? std::to_string(value.blob().bytes.size()) + " bytes"
                        : value.ToDisplayText();
    });
    return found;
  }
  return Found{};
}

class JetReader : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kJetFiles)) GTEST_SKIP() << "no Jet test files at " << kJetFiles;
  }
  static std::string File(const std::string& name) { return TestProject::Read(kJetFiles / name); }
};

TEST_F(JetReader, EachLayoutReadsAsWritten) {
  const std::string jet3 = File("testV1997.mdb");
  const std::string jet4 = File("testV2003.mdb");
  const struct {
    const char* layout;
    std::string bytes;
    const char* table;
    std::int64_t row;
    std::size_t column;
    Found expected;
  } cases[] = {
      {"Jet 3 definition over two pages", jet3, "Table2", 0, 0, {89, "column89", 0, "no such row"}},
      {"Jet 4 definition over two pages", jet4, "Table2", 0, 0, {89, "column89", 0, "no such row"}},
      {"Jet 4 row of a definition over two pages, its long value chained over pages",
       File("test2V2000.mdb"),
       "MSP_PROJECTS",
       0,
       73,
       {74, "RESERVED_BINARY_DATA", 1, "22970 bytes"}},
      {"Jet 3 row with a jump table",
       test::Jet3FileWithLongTexts(jet3, 250, 100),
       "Table1",
       1,
       1,
       {9, "I", 2, std::string(100, 'b')}},
      {"Jet 3 row with an unused jump table entry",
       test::Jet3FileWithLongTexts(jet3, 250, 226),
       "Table1",
       1,
       1,
       {9, "I", 2, std::string(226, 'b')}},
      {"Jet 3 row with two jumps",
       test::Jet3FileWithLongTexts(jet3, 255, 255),
       "Table1",
       1,
       0,
       {9, "I", 2, std::string(255, 'a')}},
      {"Jet 3 deleted column",
       File("delColTestV1997.mdb"),
       "Table1",
       1,
       3,
       {4, "data2", 2, "bar2"}},
      {"Jet 3 moved row",
       File("overflowTestV1997.mdb"),
       "Table1",
       6,
       5,
       {9, "data10", 7, "row7col7"}},
      {"Jet 4 moved row",
       File("overflowTestV2003.mdb"),
       "Table1",
       2,
       7,
       {9, "data10", 7, "row3col9"}},
      {"Jet 4 deleted rows", File("delTestV2003.mdb"), "Table", 1, 1, {2, "b", 2, "u"}},
      {"Jet 4 page map on a page of its own",
       test::JetFileWithRowsMappedOnPage(jet4, 5000),
       "Table1",
       4999,
       4,
       {9, "I", 5000, "4999"}},
      {"Jet 4 compressed text",
       File("testUnicodeCompV2003.mdb"),
       "Table",
       6,
       1,
       {2, "Unicode", 8, "\xC3\xBCmlaut"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layout);
    const Found found = Read(c.bytes, c.table, c.row, c.column);
    EXPECT_EQ(found.columns, c.expected.columns);
    EXPECT_EQ(found.lastColumn, c.expected.lastColumn);
    EXPECT_EQ(found.rows, c.expected.rows);
    EXPECT_EQ(found.value, c.expected.value);
  }
}

}  // namespace
}  // namespace velnor
