// A project brought over from Windows: its component database is an Access (Jet) file.
// The real executable converts it, keeps the original beside it and goes on; one it
// cannot convert it reports by name and keeps.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>

#include "demo_fixture.h"

namespace velnor::e2e {
namespace {

const fs::path kJetFiles = VELNOR_JET_TESTDATA;

bool StartsAsSqlite(const fs::path& file) {
  return ReadBytes(file).starts_with("SQLite format 3");
}

class JetProject : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kJetFiles)) GTEST_SKIP() << "no Jet test files at " << kJetFiles;
    ASSERT_TRUE(project.ok());
    jet = ReadBytes(kJetFiles / "testV2003.mdb");
    WriteBytes(project.componentDb(), jet);
  }
  DemoProject project;
  std::string jet;
};

TEST_F(JetProject, ASilentRunConvertsTheComponentDatabaseAndTreatsItAsAnyDatabaseWithoutPresets) {
  const RunResult run = project.RunSilent();

  // Like any component database without "PRESET_DEFS": the steps on that table are
  // reported, nothing is taken over, and the rebuilt database replaces it.
  EXPECT_EQ(run.exitStatus, 2) << run.Describe();
  EXPECT_EQ(ReadBytes(project.componentDb().string() + ".jet"), jet);
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()));
  const std::string errorLog = ReadBytes(project.errorLog());
  EXPECT_NE(errorLog.find("Widget.mdb' converted to SQLite; the original is kept as '"),
            std::string::npos)
      << errorLog;
  EXPECT_NE(errorLog.find("PRESET_DEFS"), std::string::npos) << errorLog;
  EXPECT_EQ(errorLog.find("not a database"), std::string::npos) << errorLog;
}

TEST_F(JetProject, ADamagedComponentDatabaseIsReportedAndKept) {
  std::string damaged = jet;
  std::mt19937 random(5);
  for (std::size_t i = 4096; i < damaged.size(); ++i) damaged[i] = static_cast<char>(random());
  WriteBytes(project.componentDb(), damaged);

  const RunResult run = project.RunSilent();

  EXPECT_EQ(run.exitStatus, 2) << run.Describe();
  EXPECT_EQ(ReadBytes(project.componentDb()), damaged);
  EXPECT_FALSE(fs::exists(project.componentDb().string() + ".jet"));
  const std::string errorLog = ReadBytes(project.errorLog());
  EXPECT_NE(errorLog.find("ConvertJetDatabases"), std::string::npos) << errorLog;
  EXPECT_NE(errorLog.find("is not converted and stays as it is"), std::string::npos) << errorLog;
}

TEST_F(JetProject, ImportJetConvertsTheDatabasesAndDoesNothingElse) {
  const auto before = FilesBelow(project.base());

  const RunResult run = project.RunTool({"--import-jet"});

  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_NE(run.out.find("Converted "), std::string::npos) << run.out;
  EXPECT_TRUE(StartsAsSqlite(project.componentDb()));
  EXPECT_EQ(ReadTable(project.componentDb(), "Table1").rows.size(), 2u);
  auto after = FilesBelow(project.base());
  EXPECT_EQ(after.at("Widget/Widget.mdb.jet").bytes, jet);
  // What the conversion replaces is kept first.
  const auto kept = std::find_if(after.begin(), after.end(), [](const auto& entry) {
    return InKeptGeneration(entry.first) && entry.first.filename() == "Widget.mdb";
  });
  ASSERT_NE(kept, after.end());
  EXPECT_EQ(kept->second.bytes, jet);
  std::erase_if(after, [](const auto& entry) { return InKeptGeneration(entry.first); });
  // Besides the database, its kept original and the log line, every file is as it was.
  for (const char* changed : {"Widget/Widget.mdb", "Widget/Widget.mdb.jet", "ZORcfglog.txt"}) {
    after.erase(changed);
  }
  auto unchanged = before;
  unchanged.erase("Widget/Widget.mdb");
  EXPECT_TRUE(after == unchanged);
}

TEST_F(JetProject, ImportJetNamesADamagedFileAndLeavesIt) {
  std::string damaged = jet;
  std::mt19937 random(5);
  for (std::size_t i = 4096; i < damaged.size(); ++i) damaged[i] = static_cast<char>(random());
  WriteBytes(project.componentDb(), damaged);

  const RunResult run = project.RunTool({"--import-jet"});

  EXPECT_EQ(run.exitStatus, 1) << run.Describe();
  EXPECT_NE(run.err.find(project.componentDb().string()), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(project.componentDb()), damaged);
  EXPECT_FALSE(fs::exists(project.componentDb().string() + ".jet"));
}

TEST(JetFile, OneThatIsNotConvertedIsReportedByNameAndKept) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  // A Jet 4 header and nothing a reader could make sense of after it.
  std::string jet(4096, '\x5A');
  jet.replace(0, 20, std::string("\0\1\0\0Standard Jet DB\0", 20));
  jet[0x14] = 1;
  WriteBytes(project.componentDb(), jet);

  const RunResult run = project.RunSilent();

  EXPECT_EQ(run.exitStatus, 2) << run.Describe();
  EXPECT_EQ(ReadBytes(project.componentDb()), jet);
  const std::string errorLog = ReadBytes(project.errorLog());
  EXPECT_NE(errorLog.find(project.componentDb().string()), std::string::npos) << errorLog;
}

// Every table of a converted database as one text: names, declared types and each value
// by its kind and exact bytes (a real by its bit pattern), so that two systems that
// convert alike give the same text.
std::string ContentsOf(const fs::path& database) {
  demo::DemoDb db(database, /*create=*/false);
  std::string out;
  for (const demo::Row& table :
       db.Select("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid")) {
    const std::string name = std::get<std::string>(table[0]);
    out += "table " + name + "\n";
    for (const demo::Row& column :
         db.Select("SELECT name, type FROM pragma_table_info(?)", {name})) {
      out +=
          "  " + std::get<std::string>(column[0]) + " " + std::get<std::string>(column[1]) + "\n";
    }
    for (const demo::Row& row : db.Select("SELECT * FROM \"" + name + "\" ORDER BY rowid")) {
      for (const demo::Value& value : row) {
        if (const auto* real = std::get_if<double>(&value)) {
          std::uint64_t bits = 0;
          std::memcpy(&bits, real, sizeof bits);
          out += "R" + std::to_string(bits);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
          out += "T" + std::to_string(text->size()) + ":" + *text;
        } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
          out += "I" + std::to_string(*integer);
        } else {
          out += "N";
        }
        out += "|";
      }
      out += "\n";
    }
  }
  return out;
}

std::uint64_t Fnv1a(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

// The ten public files as the Linux program converted them when the reader was written:
// the Windows program must give the very same databases.
TEST(JetImport, ConvertsThePublicFilesToTheSameContentsOnEverySystem) {
  if (!fs::is_directory(kJetFiles)) GTEST_SKIP() << "no Jet test files at " << kJetFiles;
  const std::pair<const char*, std::uint64_t> files[] = {
      {"delColTestV1997.mdb", 8888840194282066712ull},
      {"delTestV2003.mdb", 5086058769238150686ull},
      {"fixedNumericTestV2000.mdb", 17626584542936428101ull},
      {"fixedTextTestV2003.mdb", 6585657211842385864ull},
      {"overflowTestV1997.mdb", 5436835525301467172ull},
      {"overflowTestV2003.mdb", 5436835525301467172ull},
      {"test2V2000.mdb", 16196728897104176167ull},
      {"testUnicodeCompV2003.mdb", 9350326827553072581ull},
      {"testV1997.mdb", 16512153294119289345ull},
      {"testV2003.mdb", 14037206012352181895ull},
  };
  for (const auto& [file, expected] : files) {
    SCOPED_TRACE(file);
    DemoProject project;
    ASSERT_TRUE(project.ok());
    WriteBytes(project.componentDb(), ReadBytes(kJetFiles / file));

    const RunResult run = project.RunTool({"--import-jet"});

    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    EXPECT_EQ(Fnv1a(ContentsOf(project.componentDb())), expected);
  }
}

TEST(JetHelp, HelpListsImportJet) {
  const RunResult run = RunProgram(ToolExecutable(), {"--help"}, RunOptions{});
  EXPECT_NE(run.out.find("--import-jet"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace velnor::e2e
