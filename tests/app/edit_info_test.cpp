#include "app/edit_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/ini_access.h"
#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_run.h"
#include "support/throwing_program_end.h"

namespace velnor {
namespace {

using test::TestProject;
using test::TestRun;

class EditInfo : public ::testing::Test {
 protected:
  EditInfo() {
    TestProject::Write(project_.cfgPath(), "[Project]\r\nValidMachines=1\r\n");
    run_.process.version = {1, 0, 5};
  }
  std::string Cfg() const { return project_.cfgPath().string(); }
  std::string Stamp(const std::string& key) const {
    return LoadIniString("Info", key, Cfg(), true, false);
  }

  TestProject project_;
  TestRun run_{project_};
  ScriptedMessageBox boxes_;
};

TEST_F(EditInfo, StampsVersionAndStartModeBesideTheOtherSettings) {
  run_.process.firstEnvironmentEntry = "NAME=ab";
  WriteEditInfo(run_);
  EXPECT_EQ(TestProject::Read(project_.cfgPath()),
            "[Project]\r\nValidMachines=1\r\n[Info]\r\nS_Prog=1.0.5 - Standalone\r\n"
            "S_Editor=6667\r\n");

  run_.mode.integrated = true;
  WriteEditInfo(run_);
  EXPECT_EQ(Stamp("S_Prog"), "1.0.5 - Integrated");
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(EditInfo, EncodesTheValueOfTheFirstEnvironmentEntry) {
  struct Case {
    std::string entry;
    std::string encoded;
  };
  const std::vector<Case> cases = {
      {"NAME=ab-c_d", "66676869"},  // "-" and "_" contribute nothing
      {"X=A", "46"},
      {"X=z", "7F"},
      {"X=\xC3\xBB", "100"},     // û, code 251 in Windows-1252
      {"X=\xE2\x82\xAC", "85"},  // €, code 128
      {"PATH=/usr/bin", "347A787734676E73"},
      {"A=b=c", "674268"},  // only the first "=" separates
      {"EMPTY=", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    run_.process.firstEnvironmentEntry = c.entry;
    WriteEditInfo(run_);
    EXPECT_EQ(Stamp("S_Editor"), c.encoded);
  }
}

TEST_F(EditInfo, SecondSaveOverwritesWithTheSameValues) {
  run_.process.firstEnvironmentEntry = "USER=tester";
  WriteEditInfo(run_);
  const std::string first = TestProject::Read(project_.cfgPath());
  WriteEditInfo(run_);
  EXPECT_EQ(TestProject::Read(project_.cfgPath()), first);
  EXPECT_NE(first.find("S_Editor=796A78796A77\r\n"), std::string::npos) << first;
}

TEST_F(EditInfo, MissingCfgFileEndsTheProgramBeforeAnythingIsWritten) {
  std::filesystem::remove(project_.cfgPath());
  ThrowingProgramEnd end;
  EXPECT_THROW(WriteEditInfo(run_), ProgramEnded);
  EXPECT_FALSE(std::filesystem::exists(project_.cfgPath()));
  ASSERT_EQ(boxes_.shown().size(), 1u);
}

}  // namespace
}  // namespace velnor
