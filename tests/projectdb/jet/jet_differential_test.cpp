// The tool's Jet reader against a second opinion: every public Jet file, and files made
// from them, converted by both, compared table by table, column by column, value by value.
// The second opinion takes the catalog, the definitions, each table's pages and each
// row's columns from libmdb; it reads rows that moved to another page where they stood
// and decodes dates itself, since libmdb's own row order and date texts are known to be
// wrong there (moved rows come out of place, dates outside 1900 to 2099 are garbled).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "jet_synthetic.h"
#include "libmdb_reader.h"
#include "platform/files.h"
#include "projectdb/database.h"
#include "projectdb/jet/jet_copy.h"
#include "support/test_project.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;

const fs::path kJetFiles = VELNOR_JET_TESTDATA;

std::string Render(const db::Value& value) {
  switch (value.kind()) {
    case db::ValueKind::Null:
      return "null";
    case db::ValueKind::Integer:
      return "integer " + value.ToDisplayText();
    case db::ValueKind::Real:
      return "real " + value.ToDisplayText();
    case db::ValueKind::Text:
      return "text " + value.text();
    case db::ValueKind::Blob:
      return "blob " + value.blob().bytes;
  }
  return "?";
}

// The whole database as lines: each table's declared columns, then each value of each row
// in stored order.
std::vector<std::string> Contents(const fs::path& file) {
  db::Database db = db::Database::Open(file.string());
  std::vector<std::string> lines;
  for (const std::string& table : db.TableNames()) {
    for (const db::Column& column : db.Columns(table)) {
      lines.push_back(table + " column " + column.name + " " + column.declaredType);
    }
    std::size_t row = 0;
    for (db::RecordSet records = db::RecordSet::OverTable(db, table); !records.Eof();
         records.MoveNext(), ++row) {
      for (std::size_t i = 0; i < records.FieldCount(); ++i) {
        lines.push_back(table + " row " + std::to_string(row) + " column " + std::to_string(i) +
                        ": " + Render(records.Field(i)));
      }
    }
  }
  return lines;
}

class JetSecondOpinion : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kJetFiles)) GTEST_SKIP() << "no Jet test files at " << kJetFiles;
  }

  void ExpectSameAsLibmdb(const std::string& name, const std::string& bytes) {
    SCOPED_TRACE(name);
    const fs::path jet = project_.componentFolder() / (name + ".mdb");
    const fs::path ours = project_.componentFolder() / (name + ".ours.sqlite");
    const fs::path theirs = project_.componentFolder() / (name + ".libmdb.sqlite");
    TestProject::Write(jet, bytes);
    std::string manifest;
    for (const jet::CopiedTable& table :
         jet::CopyJetToSqlite(bytes, ours.string(), jet::Deadline(std::chrono::seconds(20)))) {
      manifest += std::to_string(table.headerRows) + "\t" + table.name + "\n";
    }
    EXPECT_EQ(manifest, test::ConvertWithLibmdb(jet.string(), theirs.string()));
    const std::vector<std::string> ourLines = Contents(ours);
    const std::vector<std::string> theirLines = Contents(theirs);
    ASSERT_EQ(ourLines.size(), theirLines.size());
    for (std::size_t i = 0; i < ourLines.size(); ++i) ASSERT_EQ(ourLines[i], theirLines[i]);
  }

  TestProject project_;
};

TEST_F(JetSecondOpinion, EveryPublicFileReadsAsLibmdbReadsIt) {
  for (const auto& entry : fs::directory_iterator(kJetFiles)) {
    if (entry.path().extension() != ".mdb") continue;
    ExpectSameAsLibmdb(entry.path().stem().string(), TestProject::Read(entry.path()));
  }
}

TEST_F(JetSecondOpinion, MadeFilesReadAsLibmdbReadsThem) {
  const std::string base = TestProject::Read(kJetFiles / "testV2003.mdb");
  ExpectSameAsLibmdb("rows", test::JetFileWithRows(base, 3000));
  ExpectSameAsLibmdb("emptyTexts", test::JetFileWithEmptyTexts(base, 40));
  // Jet 3 rows with a jump table: the second text past 256 bytes; the end of the data
  // just below 512 in a row above 512 bytes, so that the table has an unused entry.
  const std::string jet3 = TestProject::Read(kJetFiles / "testV1997.mdb");
  ExpectSameAsLibmdb("oneJump", test::Jet3FileWithLongTexts(jet3, 250, 100));
  ExpectSameAsLibmdb("unusedJump", test::Jet3FileWithLongTexts(jet3, 250, 226));
  ExpectSameAsLibmdb("twoJumps", test::Jet3FileWithLongTexts(jet3, 255, 255));
}

}  // namespace
}  // namespace velnor
