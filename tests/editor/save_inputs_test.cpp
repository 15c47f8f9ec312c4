#include "app/save_inputs.h"

#include <gtest/gtest.h>

#include "app/machines.h"
#include "editor_fixture.h"
#include "settings/ini_access.h"

namespace velnor::test {
namespace {

class SavingTheSettings : public EditorTest {
 protected:
  std::string Stored(const std::string& key) const {
    return LoadIniString("Info", key, ProgramIni().string(), false, false);
  }
  bool HasKey(const std::string& key) const {
    return TestProject::Read(ProgramIni()).find("\n" + key + "=") != std::string::npos;
  }
  void Machines(std::initializer_list<const char*> names) {
    run.machines = {""};
    for (const char* name : names) run.machines.emplace_back(name);
  }
  void Save(const SlotTable& table) {
    WriteInputs(run, table.ChosenButtons(), table.ChosenWarnings());
  }
  // A warning slot of tab 2 with its number, chosen or not.
  void WarningSlot(int number, bool chosen) {
    Slot& slot = page.Add(kTabWarnings);
    slot.filled = true;
    slot.number = static_cast<std::int16_t>(number);
    slot.selected = chosen ? 1 : 0;
  }

  SlotTable page;
};

TEST_F(SavingTheSettings, NothingChosenWritesEveryKeyAsZero) {
  WriteProgramIni("[Project]\r\nNumberOfMachines=1\r\n");
  Machines({"M1"});
  Save(page);
  for (const char* key :
       {"Button1", "Button2", "Button3", "Button4", "Button5", "Button6", "StandardWarning1",
        "StandardWarning2", "StandardWarning3", "MachineWarning_M1_1", "MachineWarning_M1_2"}) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(HasKey(key));
    EXPECT_EQ(Stored(key), "0");
  }
  EXPECT_EQ(FailureBoxes(), 0);
}

TEST_F(SavingTheSettings, EachChoiceSetsTheBitOfItsNumber) {
  WriteProgramIni("");
  Machines({"M1", "M2"});
  for (int button : {1, 3, 17, 96}) page.At(kTabButtons, button).selected = 1;
  WarningSlot(48, true);
  WarningSlot(2, false);
  WarningSlot(205, true);
  WarningSlot(116, true);
  Save(page);
  struct Row {
    const char* key;
    const char* value;
  };
  for (const Row& row : std::vector<Row>{{"Button1", "5"},
                                         {"Button2", "1"},
                                         {"Button3", "0"},
                                         {"Button6", "32768"},
                                         {"StandardWarning1", "0"},
                                         {"StandardWarning3", "32768"},
                                         {"MachineWarning_M1_1", "32768"},
                                         {"MachineWarning_M1_2", "0"},
                                         {"MachineWarning_M2_1", "16"},
                                         {"MachineWarning_M2_2", "0"}}) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(Stored(row.key), row.value);
  }
}

TEST_F(SavingTheSettings, LoadAndSaveWritesTheStoredMeaningInItsPlainForm) {
  WriteProgramIni(
      "[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=M1\r\n[Info]\r\n"
      "Button1=0005\r\nButton2=65537\r\nButton3= 1 2\r\nButton4=8192\r\n"
      "StandardWarning1=3\r\nMachineWarning_M1_1=4\r\n");
  Warning(1);
  Warning(3, "M1");
  Save(Load().Slots());
  EXPECT_EQ(Stored("Button1"), "5");
  EXPECT_EQ(Stored("Button2"), "1");
  EXPECT_EQ(Stored("Button3"), "12");
  EXPECT_EQ(Stored("Button4"), "8192") << "a button choice without picture is kept";
  EXPECT_EQ(Stored("StandardWarning1"), "1") << "warning 2 has no slot: its choice is dropped";
  EXPECT_EQ(Stored("MachineWarning_M1_1"), "4");
}

TEST_F(SavingTheSettings, IntegratedReadsTheSavedCopyAndWritesTheProjectsOwnFile) {
  const auto saved = project.base() / "backup";
  TestProject::Write(project.parameterFolder() / "zorconfiguration.ini",
                     "[Common]\r\nSaveAndRestore=" + saved.string() + "\r\nNameM1=Packer\r\n");
  TestProject::Write(saved / "parameter" / "program.ini",
                     "[Info]\r\nButton1=2\r\nMachineWarning_Packer_1=1\r\n");
  WriteProgramIni("[Info]\r\nButton1=1\r\n");
  Warning(1, "Packer");
  run.SetCommandLine("/EXTERNAL=ZORCFG");
  Save(Load().Slots());

  EXPECT_EQ(Stored("Button1"), "2");
  EXPECT_EQ(Stored("MachineWarning_Packer_1"), "1");
  EXPECT_EQ(TestProject::Read(saved / "parameter" / "program.ini"),
            "[Info]\r\nButton1=2\r\nMachineWarning_Packer_1=1\r\n");
}

TEST_F(SavingTheSettings, AMissingSettingsFileIsCreatedAtTheWritingLocation) {
  Machines({"M1"});
  page.At(kTabButtons, 2).selected = 1;
  Save(page);
  ASSERT_TRUE(std::filesystem::exists(ProgramIni()));
  EXPECT_EQ(Stored("Button1"), "2");
  EXPECT_EQ(Stored("MachineWarning_M1_2"), "0");
  EXPECT_EQ(FailureBoxes(), 0);
}

TEST_F(SavingTheSettings, AMissingParameterFolderIsReportedOnceAndTheStampStillWritten) {
  std::filesystem::remove_all(project.parameterFolder());
  Machines({"M1"});
  Save(page);
  EXPECT_EQ(FailureBoxes(), 1);
  EXPECT_NE(TestProject::Read(project.errorLog()).find("WriteInputs (Nr. 76)"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(ProgramIni()));
  EXPECT_NE(LoadIniString("Info", "S_Prog", project.cfgPath().string(), false, false), "");
}

TEST_F(SavingTheSettings, MachinesBeyondTheFifthKeepTheirKeysWithoutASecondReport) {
  WriteProgramIni("[Info]\r\nMachineWarning_F_1=9\r\n");
  Machines({"A", "B", "C", "D", "E", "F"});
  WarningSlot(601, true);
  WarningSlot(501, true);
  Save(page);
  EXPECT_EQ(Stored("MachineWarning_E_1"), "1");
  EXPECT_EQ(Stored("MachineWarning_F_1"), "9");
  EXPECT_FALSE(HasKey("MachineWarning_F_2"));
  EXPECT_EQ(FailureBoxes(), 0) << "the page told of the sixth machine when it was built";
}

TEST_F(SavingTheSettings, KeysThatCannotBeWrittenAreReportedTogetherAndTheOthersWritten) {
  WriteProgramIni("");
  Machines({"A=B", "C"});
  WarningSlot(201, true);
  Save(page);
  EXPECT_EQ(Stored("MachineWarning_C_1"), "1");
  EXPECT_EQ(FailureBoxes(), 1);
  EXPECT_NE(TestProject::Read(project.errorLog())
                .find("WriteInputs (Nr. 76) :The settings MachineWarning_A=B_1, "
                      "MachineWarning_A=B_2 could not be written to '"),
            std::string::npos);
}

TEST_F(SavingTheSettings, ALineWithoutMachinesWritesNoMachineKeys) {
  WriteProgramIni("");
  Save(page);
  EXPECT_TRUE(HasKey("StandardWarning3"));
  EXPECT_EQ(TestProject::Read(ProgramIni()).find("MachineWarning"), std::string::npos);
  EXPECT_EQ(FailureBoxes(), 0);
}

}  // namespace
}  // namespace velnor::test
