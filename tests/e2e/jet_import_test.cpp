// A project brought over from Windows: its component database is an Access (Jet) file.
// The real executable converts it, keeps the original beside it and goes on; a build
// without the converter (Windows) reports it by name and keeps it.
#include <algorithm>
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
    if (!VELNOR_CONVERTS_JET) GTEST_SKIP() << "this build converts no Access files";
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

TEST(JetHelp, HelpListsImportJet) {
  const RunResult run = RunProgram(ToolExecutable(), {"--help"}, RunOptions{});
  EXPECT_NE(run.out.find("--import-jet"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace velnor::e2e
