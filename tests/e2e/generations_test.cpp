// The generations that runs replace, kept and put back by the real tool on a demo
// project: "--restore" gives back every file as it was, and "--history" lists at most
// the last ten.
#include <map>
#include <string>

#include "demo_fixture.h"

namespace velnor::e2e {
namespace {

// The files a run writes, by their path below the base folder.
std::map<fs::path, std::string> RunFiles(const DemoProject& project) {
  std::map<fs::path, std::string> files;
  for (const fs::path& file : {project.componentDb(), project.sourceDb(), project.programIni(),
                               project.cfg(), project.languageFile()}) {
    files[fs::relative(file, project.base())] = ReadBytes(file);
  }
  return files;
}

// Lines end in CR LF where the program's output is text of Windows.
std::size_t Count(std::string text, const std::string& part) {
  std::erase(text, '\r');
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(Generations, RestoreGivesBackTheFilesBeforeTheLastRunAndASecondRestoreUndoesIt) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  const RunResult first = project.RunSilent();
  ASSERT_EQ(first.exitStatus, 0) << first.Describe();
  // Other stored choices: the next run writes them back in their plain form.
  WriteBytes(project.programIni(),
             ReplaceFirst(ReadBytes(project.programIni()), "Button1=", "Button1=000"));
  const auto beforeSecond = RunFiles(project);
  const RunResult second = project.RunSilent();
  ASSERT_EQ(second.exitStatus, 0) << second.Describe();
  const auto afterSecond = RunFiles(project);
  ASSERT_TRUE(afterSecond != beforeSecond);

  const RunResult restore = project.RunTool({"--restore"});
  ASSERT_EQ(restore.exitStatus, 0) << restore.Describe();
  EXPECT_TRUE(RunFiles(project) == beforeSecond);

  const RunResult undo = project.RunTool({"--restore"});
  ASSERT_EQ(undo.exitStatus, 0) << undo.Describe();
  EXPECT_TRUE(RunFiles(project) == afterSecond);

  for (int run = 0; run < 12; ++run) ASSERT_EQ(project.RunSilent().exitStatus, 0);
  const RunResult history = project.RunTool({"--history", "--json"});
  ASSERT_EQ(history.exitStatus, 0) << history.Describe();
  EXPECT_EQ(history.out.rfind("{\"generations\": [{\"id\": ", 0), 0u) << history.out;
  EXPECT_EQ(Count(history.out, "\"id\": "), 10u) << history.out;
  // Each of them kept what a run had left.
  const std::string rows =
      std::to_string(ReadTable(project.componentDb(), "PRESET_DEFS").rows.size());
  EXPECT_EQ(Count(project.RunTool({"--history"}).out, "PRESET_DEFS rows: " + rows + "\n"), 10u);
}

TEST(Generations, ASilentRunThatCannotKeepWhatItReplacesReplacesNothing) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  // A file where the kept generations' folder belongs.
  const fs::path generations = project.base() / "Widget" / "Widget_Generations";
  WriteBytes(generations, "");
  const auto before = RunFiles(project);

  const RunResult run = project.RunSilent();

  EXPECT_EQ(run.exitStatus, 2) << run.Describe();
  EXPECT_TRUE(RunFiles(project) == before);
  const std::string errorLog = ReadBytes(project.errorLog());
  EXPECT_NE(errorLog.find("could not be kept in '" + generations.string()), std::string::npos)
      << errorLog;
}

TEST(Generations, RestoreWithNothingKeptSaysSoAndChangesNothing) {
  DemoProject project;
  ASSERT_TRUE(project.ok());
  const auto before = FilesBelow(project.base());

  const RunResult restore = project.RunTool({"--restore"});

  EXPECT_EQ(restore.exitStatus, 1) << restore.Describe();
  EXPECT_NE(restore.err.find("nothing to restore"), std::string::npos) << restore.err;
  EXPECT_TRUE(FilesBelow(project.base()) == before);
}

}  // namespace
}  // namespace velnor::e2e
