#include "projectdb/jet/jet_conversion.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "errors/error_report.h"
#include "errors/failure.h"
#include "jet_synthetic.h"
#include "projectdb/database.h"
#include "support/test_project.h"
#include "support/test_report.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;

const fs::path kJetFiles = VELNOR_JET_TESTDATA;

std::string Render(const db::Value& value) {
  switch (value.kind()) {
    case db::ValueKind::Null:
      return "n";
    case db::ValueKind::Integer:
      return "i:" + value.ToDisplayText();
    case db::ValueKind::Real:
      return "r:" + value.ToDisplayText();
    case db::ValueKind::Text:
      return "t:" + value.text();
    case db::ValueKind::Blob:
      return "b:" + std::to_string(value.blob().bytes.size());
  }
  return "?";
}

// The table's rows in stored order, each as "kind:value|kind:value|...".
std::vector<std::string> Rows(const fs::path& file, const std::string& table) {
  db::Database db = db::Database::Open(file.string());
  std::vector<std::string> rows;
  for (db::RecordSet records = db::RecordSet::OverTable(db, table); !records.Eof();
       records.MoveNext()) {
    std::string row;
    for (std::size_t i = 0; i < records.FieldCount(); ++i) {
      row += (i == 0 ? "" : "|") + Render(records.Field(i));
    }
    rows.push_back(row);
  }
  return rows;
}

class JetConversion : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kJetFiles)) GTEST_SKIP() << "no Jet test files at " << kJetFiles;
  }

  // A writable copy of one of the Jet test files in the test's own folder.
  fs::path Copy(const std::string& name, const std::string& as = "") {
    const fs::path target = project_.componentFolder() / (as.empty() ? name : as);
    fs::copy_file(kJetFiles / name, target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
    return target;
  }

  fs::path Converted(const std::string& name) {
    const fs::path file = Copy(name);
    EXPECT_EQ(ConvertIfJet(file.string(), settings_), file.string() + ".jet");
    return file;
  }

  TestProject project_;
  test::TestReport report_{project_, /*silent=*/true};
  JetConversionSettings settings_{std::chrono::seconds(20)};
};

TEST_F(JetConversion, EveryValueKeepsItsKindAndRowsTheirStoredOrder) {
  const struct {
    const char* file;
    const char* table;
    std::vector<std::string> rows;
  } cases[] = {
      {"testV1997.mdb",
       "Table1",
       {"t:a|t:b|i:0|i:0|i:0|r:0|t:1981-12-12 00:00:00|i:0|i:0",
        "t:abcdefg|t:hijklmnop|i:2|i:222|i:333333333|r:444.555|t:1974-09-21 00:00:00|r:3.5|i:-1"}},
      {"testV2003.mdb",
       "Table1",
       {"t:abcdefg|t:hijklmnop|i:2|i:222|i:333333333|r:444.555|t:1974-09-21 00:00:00|r:3.5|i:-1",
        "t:a|t:b|i:0|i:0|i:0|r:0|t:1981-12-12 00:00:00|i:0|i:0"}},
      {"overflowTestV2003.mdb",
       "Table1",
       {"t:row1col1|n|n|n|n|n|n|n|n", "t:row2col1|t:row2col3|n|n|n|n|n|n|n",
        "n|t:row3col3|n|n|n|n|n|t:row3col9|n", "t:row4col1|t:row4col2|n|n|n|n|n|n|n",
        "n|t:row5col2|n|n|n|n|n|n|n", "n|t:row6col2|t:row6col3|n|n|n|n|n|n",
        "t:row7col1|n|n|n|n|t:row7col7|n|n|n"}},
      {"overflowTestV1997.mdb",
       "Table1",
       {"t:row1col1|n|n|n|n|n|n|n|n", "t:row2col1|t:row2col3|n|n|n|n|n|n|n",
        "n|t:row3col3|n|n|n|n|n|t:row3col9|n", "t:row4col1|t:row4col2|n|n|n|n|n|n|n",
        "n|t:row5col2|n|n|n|n|n|n|n", "n|t:row6col2|t:row6col3|n|n|n|n|n|n",
        "t:row7col1|n|n|n|n|t:row7col7|n|n|n"}},
      {"delColTestV1997.mdb", "Table1", {"i:0|i:2|t:foo|t:foo2", "i:3|i:5|t:bar|t:bar2"}},
      {"delTestV2003.mdb", "Table", {"t:z|t:y", "t:v|t:u"}},
      {"fixedNumericTestV2000.mdb", "test", {"t:some data|i:1|i:0|i:0|i:4|i:-1|i:1"}},
      {"fixedTextTestV2003.mdb",
       "users",
       {"i:1|t:CORE USER|t: |t:-1|t:Core User|i:1|i:16408|i:-1|t:N|t:2009-11-05 23:41:28",
        "i:2|t:admin|t:X03MO1qnZdYdgyfeuILPmQ==|t:-1|t:Admin User|i:1|i:81928|i:120|t:N|t:2009-10-"
        "22 03:57:13"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(Rows(Converted(c.file), c.table), c.rows);
  }
}

TEST_F(JetConversion, ColumnsKeepTheirOrderAndAreDeclaredByTheirJetTypes) {
  const fs::path file = Converted("testV2003.mdb");
  db::Database db = db::Database::Open(file.string());
  EXPECT_EQ(db.TableNames(), (std::vector<std::string>{"Table1", "Table2", "Table3", "Table4"}));
  std::vector<std::string> declared;
  for (const std::string table : {"Table1", "Table3", "Table4"}) {
    for (const db::Column& column : db.Columns(table)) {
      declared.push_back(column.name + " " + column.declaredType);
    }
  }
  EXPECT_EQ(declared, (std::vector<std::string>{"A VARCHAR(50)", "B VARCHAR(100)", "C BYTE",
                                                "D SMALLINT", "E LONG", "F DOUBLE", "G DATETIME",
                                                "H CURRENCY", "I BIT", "a COUNTER", "b VARCHAR(50)",
                                                "name VARCHAR(50)", "data GUID"}));
  EXPECT_EQ(db.Columns("Table2").size(), 89u);
}

TEST_F(JetConversion, CompressedUnicodeTextReadsAsWritten) {
  const fs::path file = Converted("testUnicodeCompV2003.mdb");
  db::Database db = db::Database::Open(file.string());
  std::vector<std::string> texts;
  for (db::RecordSet records = db::RecordSet::OverTable(db, "Table"); !records.Eof();
       records.MoveNext()) {
    texts.push_back(records.Field("Unicode").text());
  }
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0], "only ascii chars");
  EXPECT_EQ(texts[1], "\xC3\xA4\xC3\xA4kk\xC3\xB6si\xC3\xA4");  // ääkkösiä
  EXPECT_EQ(texts[2], "\xD0\x9C\xD0\xB8\xD1\x80");              // Мир
  EXPECT_EQ(texts[4],
            "\xE6\xBC\xA2\xE5\xAD\x97\xE4\xBB\xAE\xE5\x90\x8D\xE4\xBA\xA4\xE3\x81\x98"
            "\xE3\x82\x8A\xE6\x96\x87");  // 漢字仮名交じり文
  EXPECT_EQ(texts[6], "\xC3\xBCmlaut");   // ümlaut
  std::string everyCharacter;             // U+0001 to U+00FF in UTF-8
  for (unsigned c = 1; c <= 0xFF; ++c) {
    if (c < 0x80) {
      everyCharacter += static_cast<char>(c);
    } else {
      everyCharacter += static_cast<char>(0xC0 | (c >> 6));
      everyCharacter += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  EXPECT_EQ(texts[7], everyCharacter);
}

TEST_F(JetConversion, LongValuesComeThroughWhole) {
  const fs::path file = Converted("test2V2000.mdb");
  db::Database db = db::Database::Open(file.string());
  db::RecordSet records = db::RecordSet::OverTable(db, "MSP_PROJECTS");
  const std::string binary = records.Field("RESERVED_BINARY_DATA").blob().bytes;
  // Longer than the reading library's 16 KiB for bound values; stored on a chain of pages.
  EXPECT_EQ(binary.size(), 22970u);
  EXPECT_EQ(binary.substr(0, 8), std::string("\x15\x1C\x2D\x00\x02\x00\x00\x00", 8));
  EXPECT_EQ(records.Field("PROJ_PROP_AUTHOR").text().substr(0, 28), "Jon Iles this is a a vawesra");
  EXPECT_EQ(records.Field("PROJ_PROP_CATEGORY"), db::Value(nullptr));
  EXPECT_EQ(records.Field("PROJ_OPT_CURRENCY_SYMBOL").text(), "\xC2\xA3");  // £
}

TEST_F(JetConversion, ALargeTableComesOverWholeInItsStoredOrder) {
  constexpr std::int32_t kRows = 32767;
  const fs::path file = project_.componentFolder() / "Widget.mdb";
  TestProject::Write(file,
                     test::JetFileWithRows(TestProject::Read(kJetFiles / "testV2003.mdb"), kRows));
  ASSERT_NE(ConvertIfJet(file.string(), settings_), "");
  db::Database db = db::Database::Open(file.string());
  std::int32_t row = 0;
  for (db::RecordSet records = db::RecordSet::OverTable(db, "Table1"); !records.Eof();
       records.MoveNext(), ++row) {
    ASSERT_EQ(records.Field("E"), db::Value(row));
    ASSERT_EQ(records.Field("A"), db::Value(row % 2 == 0 ? "abcdefg" : "a"));
  }
  EXPECT_EQ(row, kRows);
}

TEST_F(JetConversion, AnEmptyTextStaysDistinctFromNull) {
  const fs::path file = project_.componentFolder() / "Widget.mdb";
  TestProject::Write(
      file, test::JetFileWithEmptyTexts(TestProject::Read(kJetFiles / "testV2003.mdb"), 2));
  ASSERT_NE(ConvertIfJet(file.string(), settings_), "");
  const std::vector<std::string> rows = Rows(file, "Table1");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].substr(0, 8), "t:a|t:|i");
}

TEST_F(JetConversion, TheOriginalIsKeptBesideAndOneLineIsLogged) {
  const fs::path file = Copy("delTestV2003.mdb", "Widget.mdb");
  const std::string original = TestProject::Read(file);
  ASSERT_EQ(ConvertIfJet(file.string(), settings_), file.string() + ".jet");
  EXPECT_EQ(TestProject::Read(file.string() + ".jet"), original);
  EXPECT_FALSE(IsJetFile(file.string()));
  EXPECT_EQ(Rows(file, "Table").size(), 2u);
  const std::string log = TestProject::Read(project_.errorLog());
  EXPECT_NE(log.find("Widget.mdb' converted to SQLite; the original is kept as '"),
            std::string::npos);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
  // Converted once, it is no Jet file any more: nothing happens the next time.
  EXPECT_EQ(ConvertIfJet(file.string(), settings_), "");
}

TEST_F(JetConversion, AKeptOriginalIsNeverOverwritten) {
  const fs::path file = Copy("delTestV2003.mdb", "Widget.mdb");
  TestProject::Write(file.string() + ".jet", "older");
  TestProject::Write(file.string() + ".2.jet", "old");
  EXPECT_EQ(ConvertIfJet(file.string(), settings_), file.string() + ".3.jet");
  EXPECT_EQ(TestProject::Read(file.string() + ".jet"), "older");
  EXPECT_EQ(TestProject::Read(file.string() + ".2.jet"), "old");
}

TEST_F(JetConversion, JetFilesAreKnownByTheirSignatureNotByTheirName) {
  const std::string jet3 = TestProject::Read(kJetFiles / "testV1997.mdb").substr(0, 32);
  const std::string jet4 = TestProject::Read(kJetFiles / "testV2003.mdb").substr(0, 32);
  std::string ace = jet4;
  ace[0x14] = 2;
  std::string noNul = jet4;
  noNul[19] = 'X';
  const struct {
    const char* name;
    std::string bytes;
    bool jet;
  } cases[] = {
      {"Jet 3 under another name", jet3, true},
      {"Jet 4", jet4, true},
      {"a later Access format", ace, false},
      {"signature without its NUL", noNul, false},
      {"cut short before the version", jet4.substr(0, 0x14), false},
      {"SQLite", std::string("SQLite format 3\0", 16) + std::string(16, '\0'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HasJetSignature(c.bytes), c.jet);
    const fs::path file = project_.componentFolder() / "probe.txt";
    TestProject::Write(file, c.bytes);
    EXPECT_EQ(IsJetFile(file.string()), c.jet);
  }
}

TEST_F(JetConversion, ADamagedFileIsReportedAndStaysAsItIs) {
  const std::string whole = TestProject::Read(kJetFiles / "test2V2000.mdb");
  std::string scrambled = TestProject::Read(kJetFiles / "testV2003.mdb");
  std::mt19937 random(12);
  for (std::size_t i = 4096; i < scrambled.size(); ++i) scrambled[i] = static_cast<char>(random());
  // Table1 of testV2003.mdb: its header, a 4-byte row count at offset 16 of page 24,
  // counts one row more than the table holds.
  std::string miscounted =
      test::JetFileWithRows(TestProject::Read(kJetFiles / "testV2003.mdb"), 10);
  miscounted[24 * 4096 + 16] = 11;
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"a header counting a row too many", miscounted, "10 rows found where its header counts 11"},
      {"cut in half", whole.substr(0, whole.size() / 2),
       "table MSP_PROJECTS: 0 rows found where its header counts 1"},
      {"cut after its header", whole.substr(0, 4196), "not the pages of a Jet 4 database"},
      {"random bytes after its header", scrambled,
       "table MSysObjects: page 2 is no page of a table definition"},
  };
  JetConversionSettings quick = settings_;
  quick.timeLimit = std::chrono::seconds(2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = project_.componentFolder() / "Widget.mdb";
    TestProject::Write(file, c.bytes);
    const auto started = std::chrono::steady_clock::now();
    try {
      ConvertIfJet(file.string(), quick);
      ADD_FAILURE() << "converted";
    } catch (const Failure& failure) {
      EXPECT_NE(failure.description().find(file.string()), std::string::npos);
      EXPECT_NE(failure.description().find(c.reason), std::string::npos) << failure.description();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(TestProject::Read(file), c.bytes);
    EXPECT_FALSE(fs::exists(file.string() + ".jet"));
  }
}

}  // namespace
}  // namespace velnor
