#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include "editor/window_controls.h"
#include "editor_fixture.h"

namespace velnor::test {
namespace {

using PageBuild = EditorTest;

std::string TwoMachines() {
  return "[Project]\r\nNumberOfMachines=2\r\n[Machine1]\r\nMachineName=M1\r\n"
         "[Machine2]\r\nMachineName=M2\r\n";
}

TEST_F(PageBuild, TheSymbolPageHoldsStandardWarningsThenOneBlockPerMachine) {
  WriteProgramIni(TwoMachines());
  for (int number : {1, 2, 5}) Warning(number);
  Warning(3, "M1");
  Warning(12, "M1");
  EditorWindow& shown = LoadAndShow();

  const SlotTable& page = shown.Slots();
  ASSERT_EQ(page.Count(kTabWarnings), 32);
  struct Row {
    int slot;
    bool filled;
    int number;
    const char* machine;
  };
  for (const Row& row : std::vector<Row>{{1, true, 1, ""},
                                         {2, true, 2, ""},
                                         {3, true, 5, ""},
                                         {4, false, 0, ""},
                                         {8, false, 0, ""},
                                         {9, false, 0, "M1"},
                                         {10, false, 0, ""},
                                         {16, false, 0, ""},
                                         {17, true, 103, ""},
                                         {18, true, 112, ""},
                                         {19, false, 0, ""},
                                         {25, false, 0, "M2"},
                                         {32, false, 0, ""}}) {
    SCOPED_TRACE(row.slot);
    const Slot& slot = page.At(kTabWarnings, row.slot);
    EXPECT_EQ(slot.filled, row.filled);
    EXPECT_EQ(slot.number, row.number);
    EXPECT_EQ(slot.machine, row.machine);
    EXPECT_EQ(slot.selected, 0);
  }

  shown.TabStrip()->setCurrentIndex(1);
  EXPECT_EQ(shown.VScroll()->maximum(), 1);
  for (int index = 1; index <= 56; ++index) {
    SCOPED_TRACE(index);
    const bool expectShown = index <= 3 || index == 17 || index == 18;
    EXPECT_EQ(!shown.Bild(index)->isHidden(), expectShown);
  }
  EXPECT_TRUE(shown.Maschine(1)->isHidden());
  EXPECT_FALSE(shown.Maschine(2)->isHidden());
  EXPECT_EQ(shown.Maschine(2)->text(), "M1");
  EXPECT_TRUE(shown.Maschine(3)->isHidden());
  EXPECT_FALSE(shown.Maschine(4)->isHidden());
  EXPECT_EQ(shown.Maschine(4)->text(), "M2");
  EXPECT_TRUE(shown.Maschine(5)->isHidden());
  EXPECT_EQ(shown.Bild(17)->accessibleName(), "Warning 3 of machine M1");
  EXPECT_EQ(FailureBoxes(), 0);
}

TEST_F(PageBuild, InfoButtonsEndAtTheFirstGapButEveryStoredChoiceStays) {
  InfoButtons(1, 3);
  InfoButtons(5, 5);
  WriteProgramIni("[Info]\r\nButton1=8197\r\nButton6=32768\r\n");
  const EditorWindow& loaded = Load();
  const SlotTable& page = loaded.Slots();
  EXPECT_EQ(page.Count(kTabButtons), 3);
  EXPECT_EQ(page.At(kTabButtons, 3).number, 3);
  EXPECT_TRUE(page.At(kTabButtons, 3).filled);
  EXPECT_EQ(page.At(kTabButtons, 1).selected, 1);
  EXPECT_EQ(page.At(kTabButtons, 2).selected, 0);
  EXPECT_EQ(page.At(kTabButtons, 3).selected, 1);
  EXPECT_EQ(page.At(kTabButtons, 14).selected, 1) << "a choice without a picture stays";
  EXPECT_EQ(page.At(kTabButtons, 96).selected, 1);
}

TEST_F(PageBuild, TheResolutionNamesTheWarningFiles) {
  struct Case {
    const char* settings;
    std::vector<int> numbers;
  };
  Warning(1, "", "1024");
  Warning(2, "", "1280");
  for (const Case& row : std::vector<Case>{{"", {2}},
                                           {"[Project]\r\nResolution=\r\n", {2}},
                                           {"[Project]\r\nResolution=1024\r\n", {1}}}) {
    SCOPED_TRACE(row.settings);
    WriteProgramIni(row.settings);
    const EditorWindow& loaded = Load();
    std::vector<int> numbers;
    for (int slot = 1; slot <= loaded.Slots().Count(kTabWarnings); ++slot) {
      if (loaded.Slots().At(kTabWarnings, slot).filled) {
        numbers.push_back(loaded.Slots().At(kTabWarnings, slot).number);
      }
    }
    EXPECT_EQ(numbers, row.numbers);
  }
}

TEST_F(PageBuild, APictureOfThreePixelsWidthOrLessTakesNoSlot) {
  Warning(1, "", "1280", 1, 1);
  Warning(2, "", "1280", 3, 40);
  Warning(3, "", "1280", 4, 1);
  const EditorWindow& loaded = Load();
  EXPECT_EQ(loaded.Slots().Count(kTabWarnings), 8);
  EXPECT_EQ(loaded.Slots().At(kTabWarnings, 1).number, 3);
  EXPECT_FALSE(loaded.Slots().At(kTabWarnings, 2).filled);
}

TEST_F(PageBuild, EveryWarningIsShrunkToTwoThirdsOfACellWhateverItsShape) {
  Warning(1, "", "1280", 32, 32);
  Warning(2, "", "1280", 200, 50);
  const EditorWindow& loaded = Load();
  for (int slot : {1, 2}) {
    SCOPED_TRACE(slot);
    const QImage& picture = loaded.Slots().At(kTabWarnings, slot).picture;
    EXPECT_EQ(picture.size(), QSize(53, 37));
    EXPECT_EQ(picture.pixelColor(26, 18), kPictureColor);
  }
  EXPECT_EQ(loaded.Slots().At(kTabButtons, 1).picture.isNull(), true);
}

TEST_F(PageBuild, ADamagedPictureIsReportedAndTakesNoSlot) {
  Warning(1);
  WriteDamagedPicture(StandardFolder() / "Warn_02_1280.bmp");
  Warning(3);
  InfoButtons(1, 1);
  WriteDamagedPicture(project.programFolder() / "Info_Button_002_800.gif");
  InfoButtons(3, 3);
  const EditorWindow& loaded = Load();

  EXPECT_EQ(FailureBoxes(), 2);
  const std::string log = TestProject::Read(project.errorLog());
  EXPECT_NE(log.find("SetupUserInterFace (Nr. 481) :The picture file '"), std::string::npos);
  EXPECT_NE(log.find("Warn_02_1280.bmp' cannot be loaded"), std::string::npos);

  const SlotTable& page = loaded.Slots();
  EXPECT_EQ(page.At(kTabWarnings, 1).number, 1);
  EXPECT_EQ(page.At(kTabWarnings, 2).number, 3);
  // The damaged button keeps its number's slot, empty, so the next one keeps its own.
  EXPECT_EQ(page.Count(kTabButtons), 3);
  EXPECT_FALSE(page.At(kTabButtons, 2).filled);
  EXPECT_TRUE(page.At(kTabButtons, 3).filled);
  EXPECT_EQ(page.At(kTabButtons, 3).number, 3);
}

TEST_F(PageBuild, StoredChoicesMarkTheirOwnMachinesSlotsOnly) {
  WriteProgramIni(TwoMachines() +
                  "[Info]\r\nStandardWarning1=65535\r\nMachineWarning_M2_1=4\r\n"
                  "MachineWarning_M1_2=65535\r\n");
  for (int number : {1, 2, 17}) Warning(number);
  Warning(3, "M1");
  Warning(3, "M2");
  const EditorWindow& loaded = Load();
  const SlotTable& page = loaded.Slots();
  auto chosen = [&](int number) {
    for (int slot = 1; slot <= page.Count(kTabWarnings); ++slot) {
      if (page.At(kTabWarnings, slot).number == number) {
        return page.At(kTabWarnings, slot).selected == 1;
      }
    }
    ADD_FAILURE() << "no slot for " << number;
    return false;
  };
  EXPECT_TRUE(chosen(1));
  EXPECT_TRUE(chosen(2));
  EXPECT_FALSE(chosen(17)) << "bit 0 of StandardWarning2";
  EXPECT_FALSE(chosen(103));
  EXPECT_TRUE(chosen(203));
}

TEST_F(PageBuild, AMaskThatIsNoNumberChoosesNothing) {
  WriteProgramIni("[Info]\r\nStandardWarning1=abc\r\nButton1= 1 2\r\n");
  Warning(1);
  const EditorWindow& loaded = Load();
  EXPECT_EQ(loaded.Slots().At(kTabWarnings, 1).selected, 0);
  // Blanks inside the number are ignored: 12 chooses buttons 3 and 4.
  EXPECT_EQ(loaded.Slots().At(kTabButtons, 3).selected, 1);
  EXPECT_EQ(loaded.Slots().At(kTabButtons, 4).selected, 1);
  EXPECT_EQ(FailureBoxes(), 0);
}

TEST_F(PageBuild, SlotsBeyondTheTabAreReportedAndNotStored) {
  std::string settings = "[Project]\r\nNumberOfMachines=19\r\n";
  for (int machine = 1; machine <= 19; ++machine) {
    settings += "[Machine" + std::to_string(machine) + "]\r\nMachineName=M" +
                std::to_string(machine) + "\r\n";
  }
  WriteProgramIni(settings);
  for (int number = 1; number <= 3; ++number) Warning(number, "M19");
  const EditorWindow& loaded = Load();
  EXPECT_EQ(loaded.Slots().Count(kTabWarnings), 150);
  EXPECT_EQ(loaded.Slots().At(kTabWarnings, 145).machine, "M19");
  EXPECT_EQ(FailureBoxes(), 0);
  EXPECT_EQ(Notices().size(), 2u) << "one for the page, one for the machines beyond the fifth";
  const std::string log = TestProject::Read(project.errorLog());
  EXPECT_NE(log.find("3 warning pictures do not fit and cannot be chosen (Warning 1 of machine "
                     "M19 and after)"),
            std::string::npos)
      << log;
}

TEST_F(PageBuild, ChoicesThatCannotBeSavedAreToldOfOnceAndCannotBeSwitched) {
  std::string settings = "[Project]\r\nNumberOfMachines=6\r\n";
  for (int machine = 1; machine <= 6; ++machine) {
    settings += "[Machine" + std::to_string(machine) + "]\r\nMachineName=M" +
                std::to_string(machine) + "\r\n";
  }
  WriteProgramIni(settings + "[Info]\r\nMachineWarning_M6_1=1\r\n");
  InfoButtons(1, 100);
  Warning(1, "M5");
  Warning(1, "M6");
  EditorWindow& shown = LoadAndShow();

  // A limit of the settings file, known before the window opens: told, not asked.
  EXPECT_EQ(FailureBoxes(), 0);
  const std::string told =
      "Info buttons 97 to 100 cannot be chosen: program.ini holds the choices of info buttons "
      "1 to 96 only; the warnings of M6 cannot be chosen: program.ini holds the warnings of the "
      "first 5 machines only, and their keys stay as they are";
  EXPECT_EQ(Notices(), std::vector<std::string>{told});
  EXPECT_EQ(box.shown().front().title, "Widget_Config");
  const std::string log = TestProject::Read(project.errorLog());
  EXPECT_NE(log.find(told), std::string::npos) << log;

  struct Case {
    int tab;
    int scroll;
    const char* shows;
    bool switchable;
  };
  for (const Case& row : std::vector<Case>{{1, 7, "Info button 96", true},
                                           {1, 7, "Info button 97", false},
                                           {2, 2, "Warning 1 of machine M5", true},
                                           {2, 2, "Warning 1 of machine M6", false}}) {
    SCOPED_TRACE(row.shows);
    shown.TabStrip()->setCurrentIndex(row.tab - 1);
    shown.VScroll()->setValue(row.scroll);
    PictureBox* cell = nullptr;
    for (int index = 1; index <= kCellCount; ++index) {
      if (!shown.Bild(index)->isHidden() && shown.Bild(index)->accessibleName() == row.shows) {
        cell = shown.Bild(index);
      }
    }
    ASSERT_NE(cell, nullptr);
    const bool before = cell->Checked();
    QTest::mouseClick(cell, Qt::LeftButton);
    EXPECT_EQ(cell->Checked() != before, row.switchable);
    EXPECT_EQ(cell->toolTip().isEmpty(), row.switchable);
    EXPECT_EQ(cell->accessibleDescription().contains("cannot be switched"), !row.switchable);
  }
}

TEST_F(PageBuild, ASilentRunLogsAChoiceThatCannotBeSavedOnceAndLeavesItsKeys) {
  WriteProgramIni(
      "[Project]\r\nNumberOfMachines=6\r\n[Machine1]\r\nMachineName=A\r\n[Machine2]\r\n"
      "MachineName=B\r\n[Machine3]\r\nMachineName=C\r\n[Machine4]\r\nMachineName=D\r\n"
      "[Machine5]\r\nMachineName=E\r\n[Machine6]\r\nMachineName=F\r\n[Info]\r\n"
      "MachineWarning_F_1=1\r\n");
  Warning(1, "F");
  run.SetCommandLine("/EXTERNAL=SILENT");
  Create();
  try {
    window->Form_Load();
    ADD_FAILURE() << "the program did not end";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitStatus, 2);
  }
  const std::string log = TestProject::Read(project.errorLog());
  std::size_t reports = 0;
  for (std::size_t at = log.find("F cannot be"); at != std::string::npos;
       at = log.find("F cannot be", at + 1)) {
    ++reports;
  }
  EXPECT_EQ(reports, 1u) << log;
  EXPECT_EQ(log.find("WriteInputs"), std::string::npos) << log;
  const std::string written = TestProject::Read(ProgramIni());
  EXPECT_NE(written.find("MachineWarning_F_1=1\r\n"), std::string::npos) << written;
  EXPECT_EQ(written.find("MachineWarning_F_2"), std::string::npos) << written;
  EXPECT_NE(written.find("MachineWarning_E_2=0\r\n"), std::string::npos) << written;
}

TEST_F(PageBuild, TheHeaderRebuildsThePageInsteadOfAppendingToIt) {
  WriteProgramIni(TwoMachines() + "[Info]\r\nButton1=1\r\n");
  Warning(1);
  Warning(3, "M1");
  InfoButtons(1, 2);
  EditorWindow& shown = LoadAndShow();
  shown.Bild_Click(2);
  ASSERT_EQ(shown.Slots().At(kTabButtons, 2).selected, 1);
  InfoButtons(3, 3);  // a picture that appeared meanwhile

  shown.Header_Click();
  EXPECT_EQ(shown.Slots().Count(kTabWarnings), 32);
  EXPECT_EQ(shown.Slots().Count(kTabButtons), 3);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 2).selected, 0) << "the stored choice again";
  EXPECT_FALSE(shown.Bild(3)->isHidden()) << "the page is drawn anew";
  EXPECT_EQ(FailureBoxes(), 0);
}

}  // namespace
}  // namespace velnor::test
