#include "app/machines.h"

#include <gtest/gtest.h>

#include "app/locations.h"
#include "support/test_project.h"
#include "support/test_run.h"

namespace velnor {
namespace {

using test::TestProject;
using test::TestRun;

std::vector<std::string> Machines(std::initializer_list<const char*> names) {
  std::vector<std::string> list{""};
  for (const char* name : names) list.emplace_back(name);
  return list;
}

TEST(Machines, IntegratedReadsNamesUpToTheFirstDash) {
  TestProject project;
  const auto ini = project.parameterFolder() / "zorconfiguration.ini";
  TestProject::Write(ini,
                     "[Common]\r\nNameM1=Packer\r\nNameM2=Wrapper\r\nNameM3=-\r\nNameM4=Boxer\r\n");
  TestRun run(project, "/EXTERNAL=ZORCFG");
  run.FindFiles();
  EXPECT_EQ(run.machines, Machines({"Packer", "Wrapper"}));
  EXPECT_EQ(MachineCount(run.machines), 2);
}

TEST(Machines, IntegratedReadsAtMostFiveNames) {
  TestProject project;
  const auto ini = project.parameterFolder() / "zorconfiguration.ini";
  TestProject::Write(
      ini, "[Common]\r\nNameM1=A\r\nNameM2=B\r\nNameM3=C\r\nNameM4=D\r\nNameM5=E\r\nNameM6=F\r\n");
  TestRun run(project, "/EXTERNAL=ZORCFG");
  run.FindFiles();
  EXPECT_EQ(run.machines, Machines({"A", "B", "C", "D", "E"}));
}

TEST(Machines, IntegratedWithoutFirstNameOrFileHasNoEntries) {
  TestProject project;
  TestRun run(project, "/EXTERNAL=ZORCFG");
  run.FindFiles();
  EXPECT_TRUE(run.machines.empty());
  TestProject::Write(project.parameterFolder() / "zorconfiguration.ini",
                     "[Common]\r\nNameM2=B\r\n");
  run.FindFiles();
  EXPECT_TRUE(run.machines.empty());
  EXPECT_EQ(MachineCount(run.machines), 0);
}

TEST(Machines, StandaloneReadsNumberOfMachinesFromProgramIniKeepingGaps) {
  TestProject project;
  TestProject::Write(project.parameterFolder() / "Program.ini",
                     "[Project]\r\nNumberOfMachines=3\r\n[Machine1]\r\nMachineName=Filler\r\n"
                     "[Machine3]\r\nMachineName=Labeler\r\n");
  TestProject::Write(project.parameterFolder() / "zorconfiguration.ini",
                     "[Common]\r\nNameM1=NotUsed\r\n");
  TestRun run(project);
  run.FindFiles();
  EXPECT_EQ(run.machines, Machines({"Filler", "", "Labeler"}));
  EXPECT_EQ(run.programIniForReading, (project.parameterFolder() / "Program.ini").string());
}

TEST(Machines, StandaloneWithoutNumberOfMachinesHasNoEntries) {
  TestProject project;
  TestProject::Write(project.parameterFolder() / "Program.ini", "[Project]\r\n");
  TestRun run(project);
  run.FindFiles();
  EXPECT_TRUE(run.machines.empty());
}

TEST(Machines, ValidMachinesComeFromTheCfgFile) {
  TestProject project;
  TestRun run(project);
  TestProject::Write(project.cfgPath(), "[Project]\r\nValidMachines=M1,M2\r\n");
  EXPECT_EQ(GetValidMachines(run), "M1,M2");
  TestProject::Write(project.cfgPath(), "[Project]\r\n");
  EXPECT_EQ(GetValidMachines(run), "");
}

}  // namespace
}  // namespace velnor
