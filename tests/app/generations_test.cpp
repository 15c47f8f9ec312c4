#include "app/generations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "app/edit_info.h"
#include "errors/failure.h"
#include "support/test_project.h"
#include "support/test_run.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;
using test::TestRun;

// The five files a run may write, and what each holds (nothing: absent).
using ProjectState = std::map<std::string, std::optional<std::string>>;

class Generations : public ::testing::Test {
 protected:
  Generations() { run_.process.version = {1, 4, 2}; }

  std::map<std::string, fs::path> Files() const {
    return {{"component", project_.componentFolder() / "Widget.mdb"},
            {"source", project_.componentFolder() / "Widget_Source.mdb"},
            {"program", project_.parameterFolder() / "Program.ini"},
            {"cfg", project_.cfgPath()},
            {"language", project_.programFolder() / "Widget_Config.ini"}};
  }
  void Lay(const ProjectState& state) const {
    for (const auto& [name, bytes] : state) {
      if (bytes) {
        TestProject::Write(Files().at(name), *bytes);
      } else {
        fs::remove(Files().at(name));
      }
    }
  }
  ProjectState State() const {
    ProjectState state;
    for (const auto& [name, path] : Files()) {
      state[name] = fs::exists(path) ? std::optional(TestProject::Read(path)) : std::nullopt;
    }
    return state;
  }

  TestProject project_;
  TestRun run_{project_, "/EXTERNAL=SILENT"};
  const ProjectState first_ = {{"component", "component 1"},
                               {"source", "source 1"},
                               {"program", "[Info]\r\nButton1=1\r\n"},
                               {"cfg", "[Info]\r\nS_Prog=1\r\n"},
                               {"language", std::nullopt}};
  const ProjectState second_ = {{"component", "component 2"},
                                {"source", "source 2"},
                                {"program", "[Info]\r\nButton1=5\r\n"},
                                {"cfg", "[Info]\r\nS_Prog=2\r\n"},
                                {"language", "[Language]\r\nLanguage=1031\r\n"}};
};

TEST_F(Generations, KeepTheFilesByteForByteAndTellWhichWereAbsent) {
  Lay(first_);
  const Generation kept = KeepGeneration(run_, "Silent");

  const std::vector<Generation> listed = ListGenerations(run_);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].id, kept.id);
  EXPECT_EQ(listed[0].mode, "Silent");
  EXPECT_EQ(listed[0].version, "1.4.2");
  EXPECT_EQ(listed[0].time, kept.time);
  EXPECT_EQ(fs::path(kept.folder).parent_path(), project_.componentFolder() / "Widget_Generations");
  std::map<std::string, bool> present;
  for (const KeptFile& file : listed[0].files) present[file.name] = file.present;
  EXPECT_EQ(present, (std::map<std::string, bool>{{"Widget.mdb", true},
                                                  {"Widget_Source.mdb", true},
                                                  {"Program.ini", true},
                                                  {"Widget.cfg", true},
                                                  {"Widget_Config.ini", false}}));
  EXPECT_EQ(TestProject::Read(fs::path(kept.folder) / "Widget_Source.mdb"), "source 1");
  EXPECT_EQ(TestProject::Read(fs::path(kept.folder) / "Program.ini"), "[Info]\r\nButton1=1\r\n");
}

TEST_F(Generations, OnlyTheNewestTenAreKeptNewestFirst) {
  Lay(first_);
  for (int run = 1; run <= 12; ++run) {
    TestProject::Write(Files().at("program"), "run " + std::to_string(run));
    KeepGeneration(run_, "Silent");
  }
  // What a run killed while keeping left behind goes too.
  fs::create_directories(project_.componentFolder() / "Widget_Generations" /
                         "20260101-000000-000-99");
  KeepGeneration(run_, "Silent");

  const std::vector<Generation> listed = ListGenerations(run_);
  ASSERT_EQ(listed.size(), kKeptGenerations);
  for (std::size_t i = 1; i < listed.size(); ++i) {
    EXPECT_GT(listed[i - 1].sequence, listed[i].sequence);
  }
  EXPECT_EQ(TestProject::Read(fs::path(listed.front().folder) / "Program.ini"), "run 12");
  EXPECT_EQ(TestProject::Read(fs::path(listed.back().folder) / "Program.ini"), "run 4");
  EXPECT_EQ(std::distance(fs::directory_iterator(project_.componentFolder() / "Widget_Generations"),
                          fs::directory_iterator()),
            static_cast<long>(kKeptGenerations));
}

TEST_F(Generations, ARestorePutsEveryFileBackAndASecondUndoesIt) {
  Lay(first_);
  const Generation kept = KeepGeneration(run_, "Silent");
  Lay(second_);

  const Restored restored = RestoreGeneration(run_, "");
  EXPECT_EQ(restored.restored.id, kept.id);
  EXPECT_EQ(State(), first_);  // the language file, absent then, is removed
  EXPECT_EQ(restored.keptBefore.mode, "Restore of " + kept.id);

  RestoreGeneration(run_, "");
  EXPECT_EQ(State(), second_);

  RestoreGeneration(run_, kept.id);
  EXPECT_EQ(State(), first_);
}

TEST_F(Generations, ARestoreThatCannotPutOneFileBackChangesNone) {
  Lay(first_);
  KeepGeneration(run_, "Silent");
  Lay(second_);
  fs::permissions(Files().at("cfg"), fs::perms::owner_read);

  try {
    RestoreGeneration(run_, "");
    ADD_FAILURE() << "restored over a read-only file";
  } catch (const Failure& failure) {
    EXPECT_NE(failure.description().find("Widget.cfg"), std::string::npos) << failure.description();
    EXPECT_NE(failure.description().find("read-only"), std::string::npos) << failure.description();
  }
  EXPECT_EQ(State(), second_);
  fs::permissions(Files().at("cfg"), fs::perms::owner_all);  // Windows removes no read-only file
  for (const fs::path& folder :
       {project_.componentFolder(), project_.parameterFolder(), project_.programFolder()}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      EXPECT_EQ(entry.path().string().find(".velnor-tmp."), std::string::npos) << entry.path();
    }
  }
}

TEST_F(Generations, NothingToRestoreOrAnUnknownOneIsSaid) {
  Lay(first_);
  for (const std::string& id : {std::string(), std::string("20260101-000000-000-1")}) {
    if (!id.empty()) KeepGeneration(run_, "Silent");
    try {
      RestoreGeneration(run_, id);
      ADD_FAILURE() << "restored " << id;
    } catch (const Failure& failure) {
      EXPECT_NE(failure.description().find(id.empty() ? "nothing to restore" : id),
                std::string::npos)
          << failure.description();
    }
  }
  EXPECT_EQ(State(), first_);
}

TEST_F(Generations, ARunKeepsOnceBeforeItsFirstWriteAndWritesNothingWhenItCannot) {
  Lay(first_);
  run_.process.firstEnvironmentEntry = "X=a";
  WriteEditInfo(run_);
  TestProject::Write(Files().at("cfg"), "[Info]\r\n");
  WriteEditInfo(run_);
  ASSERT_EQ(ListGenerations(run_).size(), 1u);
  EXPECT_EQ(TestProject::Read(fs::path(ListGenerations(run_)[0].folder) / "Widget.cfg"),
            "[Info]\r\nS_Prog=1\r\n");

  // A file where the generations' folder belongs: nothing can be kept.
  TestRun next(project_, "/EXTERNAL=SILENT");
  fs::remove_all(project_.componentFolder() / "Widget_Generations");
  TestProject::Write(project_.componentFolder() / "Widget_Generations", "");
  TestProject::Write(Files().at("cfg"), "[Info]\r\n");
  EXPECT_FALSE(KeepGenerationBeforeWriting(next));
  WriteEditInfo(next);
  EXPECT_EQ(TestProject::Read(Files().at("cfg")), "[Info]\r\n");
  const std::string log = TestProject::Read(project_.errorLog());
  EXPECT_NE(log.find("could not be kept in '" +
                     (project_.componentFolder() / "Widget_Generations").string()),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("could not be kept"), log.rfind("could not be kept")) << "reported twice";
}

}  // namespace
}  // namespace velnor
