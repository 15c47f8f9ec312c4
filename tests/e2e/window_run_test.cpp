// The window of the program over generated demo projects, standalone and integrated,
// on the offscreen platform: what it shows, what a click and OK save, and what Cancel
// leaves alone. The page the window must show is worked out here from the project's
// files alone: its pictures, its stored choices and its machines.
#include "window_run.h"

#include <algorithm>
#include <array>
#include <map>

#include "demo_fixture.h"
#include "expected_presets.h"

namespace velnor::e2e {
namespace {

constexpr const char* kCancelLine = "Konfigurations-EXE wurde abgebrochen:     Widget\r\n";

struct PageSlot {
  int number = 0;
  std::string machine;  // on the first slot of a machine's heading row
  bool filled = false;
  bool chosen = false;
  std::string shows;  // what the cell says it shows
};

std::int64_t StoredMask(const IniFile& settings, const std::string& key) {
  return LeadingNumber(settings.Get("Info", key).value_or("0")) & 0xFFFF;
}

std::string TwoDigits(int n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

// The page of both tabs as the files of a project make it: the info buttons up to the
// first missing number, the standard warnings, then per machine a heading row and its
// warnings, each block filled up to whole rows; the stored choices marked.
class ExpectedPage {
 public:
  ExpectedPage(const DemoProject& project, const fs::path& settingsFile,
               std::vector<std::string> machines)
      : machines_(std::move(machines)) {
    const IniFile settings(settingsFile);
    for (int k = 1; k <= 6; ++k) {
      buttons_[static_cast<std::size_t>(k - 1)] =
          StoredMask(settings, "Button" + std::to_string(k));
    }
    std::vector<PageSlot>& buttons = tabs_[0];
    for (int n = 1;; ++n) {
      const std::string name = "Info_Button_0" + TwoDigits(n) + "_800.gif";
      if (!fs::exists(project.base() / "Config" / name)) break;
      buttons.push_back({n, "", true, (buttons_[(n - 1) / 16] >> ((n - 1) % 16) & 1) != 0,
                         "Info button " + std::to_string(n)});
    }

    const std::string resolution = settings.Get("Project", "Resolution").value_or("1280");
    const fs::path standard = project.base() / "Standard";
    std::vector<PageSlot>& warnings = tabs_[1];
    const auto fillRow = [&] {
      while (warnings.size() % 8 != 0) warnings.push_back({});
    };
    // Warning n of machine ("" for the line) takes the next slot; its choice is bit
    // n - 1 of the group of 16 it falls in.
    const auto add = [&](int number, int n, const std::string& machine) {
      const std::string group = std::to_string((n - 1) / 16 + 1);
      const std::string key =
          machine.empty() ? "StandardWarning" + group : "MachineWarning_" + machine + "_" + group;
      const bool chosen = (StoredMask(settings, key) >> ((n - 1) % 16) & 1) != 0;
      const std::string shows =
          "Warning " + std::to_string(n) + (machine.empty() ? "" : " of machine " + machine);
      warnings.push_back({number, "", true, chosen, shows});
    };
    for (int n = 1; n <= 48; ++n) {
      if (fs::exists(standard / ("Warn_" + TwoDigits(n) + "_" + resolution + ".bmp"))) {
        add(n, n, "");
      }
    }
    fillRow();
    for (std::size_t m = 0; m < machines_.size(); ++m) {
      const std::string& machine = machines_[m];
      warnings.push_back({0, machine, false, false, ""});
      fillRow();
      for (int n = 1; n <= 16; ++n) {
        if (fs::exists(standard /
                       ("Warn_" + TwoDigits(n) + "_" + machine + "_" + resolution + ".bmp"))) {
          add(static_cast<int>(m + 1) * 100 + n, n, machine);
        }
      }
      fillRow();
    }
  }

  const std::vector<PageSlot>& Tab(int tab) const {
    return tabs_[static_cast<std::size_t>(tab - 1)];
  }

  int ScrollMaximum(int tab) const {
    const int rows = static_cast<int>(Tab(tab).size() + 7) / 8;
    return rows > 7 ? rows - 6 : 1;
  }

  // The cells and row labels shown at a scroll position, as the driver reports them.
  std::vector<std::string> Shown(int tab, int scroll) const {
    const std::vector<PageSlot>& slots = Tab(tab);
    std::vector<std::string> cells;
    std::vector<std::string> labels;
    for (int cell = 1; cell <= 56; ++cell) {
      const auto slot = static_cast<std::size_t>(cell - 1 + (scroll - 1) * 8);
      if (slot >= slots.size()) continue;
      if (slots[slot].filled) {
        cells.push_back("cell " + std::to_string(cell) +
                        (slots[slot].chosen ? " chosen " : " not chosen ") + slots[slot].shows);
      }
      if (cell % 8 == 1 && !slots[slot].machine.empty()) {
        labels.push_back("label " + std::to_string(cell / 8 + 1) + " " + slots[slot].machine);
      }
    }
    cells.insert(cells.end(), labels.begin(), labels.end());
    return cells;
  }

  // The first slot (1-based) of the tab that fits, 0 when none does.
  template <typename Fits>
  int FirstSlot(int tab, Fits fits) const {
    const std::vector<PageSlot>& slots = Tab(tab);
    for (std::size_t s = 0; s < slots.size(); ++s) {
      if (slots[s].filled && fits(slots[s])) return static_cast<int>(s + 1);
    }
    return 0;
  }

  void Click(int tab, int slot) {
    PageSlot& clicked =
        tabs_[static_cast<std::size_t>(tab - 1)][static_cast<std::size_t>(slot - 1)];
    clicked.chosen = !clicked.chosen;
  }

  // Section "Info" as an OK must write it: buttons without a picture keep their stored
  // choice, warnings without a picture lose theirs.
  std::map<std::string, std::string> InfoKeys() const {
    std::map<std::string, std::string> keys;
    std::array<std::int64_t, 6> buttons = buttons_;
    for (const PageSlot& slot : Tab(1)) {
      std::int64_t& mask = buttons[static_cast<std::size_t>(slot.number - 1) / 16];
      const std::int64_t bit = std::int64_t{1} << ((slot.number - 1) % 16);
      mask = slot.chosen ? mask | bit : mask & ~bit;
    }
    for (std::size_t k = 0; k < buttons.size(); ++k) {
      keys["Button" + std::to_string(k + 1)] = std::to_string(buttons[k]);
    }
    std::map<std::string, std::int64_t> warnings;
    for (int k = 1; k <= 3; ++k) warnings["StandardWarning" + std::to_string(k)] = 0;
    for (const std::string& machine : machines_) {
      warnings["MachineWarning_" + machine + "_1"] = 0;
      warnings["MachineWarning_" + machine + "_2"] = 0;
    }
    for (const PageSlot& slot : Tab(2)) {
      if (!slot.chosen) continue;
      const int n = slot.number % 100;
      const std::string group = std::to_string((n - 1) / 16 + 1);
      const auto machine = static_cast<std::size_t>(slot.number / 100);
      const std::string key = machine > 0 ? "MachineWarning_" + machines_[machine - 1] + "_" + group
                                          : "StandardWarning" + group;
      warnings[key] |= std::int64_t{1} << ((n - 1) % 16);
    }
    for (const auto& [key, mask] : warnings) keys[key] = std::to_string(mask);
    return keys;
  }

 private:
  std::vector<std::string> machines_;
  std::array<std::vector<PageSlot>, 2> tabs_;
  std::array<std::int64_t, 6> buttons_{};
};

// Standalone, the line's machines are those of the project's "program.ini".
std::vector<std::string> StandaloneMachines(const DemoProject& project) {
  const IniFile settings(project.programIni());
  std::vector<std::string> machines;
  const auto count = LeadingNumber(settings.Get("Project", "NumberOfMachines").value_or("0"));
  for (int m = 1; m <= count; ++m) {
    machines.push_back(settings.Get("Machine" + std::to_string(m), "MachineName").value_or(""));
  }
  return machines;
}

// Integrated, they are those of the line's configuration, up to the first "-".
std::vector<std::string> IntegratedMachines(const DemoProject& project) {
  const IniFile line(project.configIni());
  std::vector<std::string> machines;
  for (int m = 1; m <= 5; ++m) {
    const std::string name = line.Get("Common", "NameM" + std::to_string(m)).value_or("");
    if (name.empty() || name == "-") break;
    machines.push_back(name);
  }
  return machines;
}

std::map<std::string, std::string> InfoKeysOf(const fs::path& settingsFile) {
  const IniFile settings(settingsFile);
  std::map<std::string, std::string> keys;
  for (const std::string& key : settings.Keys("Info"))
    keys[key] = settings.Get("Info", key).value_or("");
  return keys;
}

void ExpectView(const View& view, const ExpectedPage& page, int tab, int scroll) {
  SCOPED_TRACE("tab " + std::to_string(tab) + " at row " + std::to_string(scroll));
  EXPECT_EQ(view.tab, tab);
  EXPECT_EQ(view.scroll, scroll);
  EXPECT_EQ(view.scrollMaximum, page.ScrollMaximum(tab));
  EXPECT_EQ(view.shown, page.Shown(tab, scroll));
}

std::string Script(const std::vector<std::string>& actions) {
  std::string script;
  for (const std::string& action : actions) script += action + "\n";
  return script;
}

// The log path as a parent program on Linux passes it: with backslashes, since an
// option's value ends at the next "/".
std::string LogfileOption(const fs::path& path) {
  std::string text = path.string();
  for (char& c : text) c = c == '/' ? '\\' : c;
  return "/LOGFILE=" + text;
}

class WindowRunTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(project.ok()); }

  // A project whose tool is the test driver.
  DemoProject project{{}, WindowDriverExecutable()};
};

using StandaloneWindow = WindowRunTest;
using IntegratedWindow = WindowRunTest;

TEST_F(StandaloneWindow, ShowsTheDemoPagesAndOkSavesTheClickedChoicesAfterTheDatabaseUpdate) {
  ExpectedPage page(project, project.programIni(), StandaloneMachines(project));
  const int button = page.FirstSlot(1, [](const PageSlot& s) { return !s.chosen; });
  const int standard =
      page.FirstSlot(2, [](const PageSlot& s) { return s.chosen && s.number < 100; });
  const int machine =
      page.FirstSlot(2, [](const PageSlot& s) { return !s.chosen && s.number > 100; });
  ASSERT_TRUE(button > 0 && standard > 0 && machine > 0 && machine <= 56)
      << "the demo's page no longer has the cells this test clicks";
  const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");

  const WindowRun shown = RunWindow(
      project, {},
      Script({"report", "click cell " + std::to_string(button), "report", "select tab 2", "report",
              "click cell " + std::to_string(standard), "click cell " + std::to_string(machine),
              "scroll " + std::to_string(page.ScrollMaximum(2)), "report", "press OK"}));

  ASSERT_EQ(shown.run.exitStatus, 0) << shown.Describe();
  EXPECT_TRUE(shown.errors.empty() && shown.boxes.empty()) << shown.Describe();
  ASSERT_EQ(shown.views.size(), 4u) << shown.Describe();
  EXPECT_EQ(shown.views[0].caption, "Erweiterte Konfiguration Config - standalone");
  ExpectView(shown.views[0], page, 1, 1);
  page.Click(1, button);
  ExpectView(shown.views[1], page, 1, 1);
  ExpectView(shown.views[2], page, 2, 1);
  page.Click(2, standard);
  page.Click(2, machine);
  ExpectView(shown.views[3], page, 2, page.ScrollMaximum(2));

  // The counts a person sees, straight from the generated files.
  int infoButtons = 0;
  for (const auto& entry : fs::directory_iterator(project.base() / "Config")) {
    infoButtons += entry.path().extension() == ".gif" ? 1 : 0;
  }
  EXPECT_EQ(shown.views[0].VisibleCells(), infoButtons);
  std::vector<std::string> labels;
  for (const View* view : {&shown.views[2], &shown.views[3]}) {
    for (const auto& [row, text] : view->Labels()) {
      if (std::find(labels.begin(), labels.end(), text) == labels.end()) labels.push_back(text);
    }
  }
  EXPECT_EQ(labels, StandaloneMachines(project)) << "every machine heads its own block";

  EXPECT_EQ(InfoKeysOf(project.programIni()), page.InfoKeys());
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()))
      << "the database update did not run";
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"),
                  ExpectPresets(project.sourceDb(), previous, "Filler", 0).table);
  EXPECT_EQ(IniFile(project.cfg()).Get("Info", "S_Prog"), ProjectVersion() + " - Standalone");
  EXPECT_FALSE(fs::exists(project.errorLog())) << ReadBytes(project.errorLog());
}

TEST_F(StandaloneWindow, ByKeyboardAloneChoosesSwitchesTabsAndSaves) {
  ExpectedPage page(project, project.programIni(), StandaloneMachines(project));
  ASSERT_TRUE(page.FirstSlot(1, [](const PageSlot& s) { return s.number == 2; }) == 2 &&
              page.FirstSlot(2, [](const PageSlot&) { return true; }) == 1)
      << "the demo's page no longer has the cells this test presses";

  const WindowRun run = RunWindow(project, {},
                                  Script({"key Right", "key Space", "key Ctrl+Tab", "key Space",
                                          "report", "key Tab", "key Return"}));

  ASSERT_EQ(run.run.exitStatus, 0) << run.Describe();
  EXPECT_TRUE(run.errors.empty() && run.boxes.empty()) << run.Describe();
  ASSERT_EQ(run.views.size(), 1u) << run.Describe();
  page.Click(1, 2);
  page.Click(2, 1);
  ExpectView(run.views[0], page, 2, 1);
  EXPECT_EQ(InfoKeysOf(project.programIni()), page.InfoKeys());
  EXPECT_FALSE(fs::exists(project.errorLog())) << ReadBytes(project.errorLog());
}

TEST_F(StandaloneWindow, CancelAndTheCloseButtonAnsweredYesLeaveEveryFileAsItWas) {
  // The first start writes the language file beside the program, as every start does
  // while keys are missing; the second finds it complete and rewrites the same bytes.
  const fs::path language = fs::path("Config") / "Widget_Config.ini";
  const fs::path errorLog = "ZORcfglog.txt";
  std::string expectedLog;
  for (const char* ending : {"press Cancel", "close window"}) {
    SCOPED_TRACE(ending);
    const auto before = FilesBelow(project.base());

    const WindowRun run =
        RunWindow(project, {},
                  Script({"click cell 1", "select tab 2", "click cell 1", "answer yes", ending}));

    ASSERT_EQ(run.run.exitStatus, 0) << run.Describe();
    ASSERT_EQ(run.boxes.size(), 1u) << run.Describe();
    EXPECT_EQ(run.boxes[0].title, "Cancel?");
    EXPECT_EQ(run.boxes[0].text,
              "Cancel edits?\n\rRemark:\n\rUntil now no changes have been taken over ");
    EXPECT_EQ(run.boxes[0].style, 308);
    EXPECT_EQ(run.boxes[0].answer, "6");

    auto after = FilesBelow(project.base());
    expectedLog += kCancelLine;
    EXPECT_EQ(after[errorLog].bytes, expectedLog);
    if (before.count(language) != 0) {
      EXPECT_EQ(after[language].bytes, before.at(language).bytes);
    }
    for (const auto& [file, state] : before) {
      SCOPED_TRACE(file.string());
      if (file == errorLog || file == language) continue;
      ASSERT_EQ(after.count(file), 1u) << "removed";
      EXPECT_TRUE(after[file] == state) << "written";
    }
    // The start that grows the language file keeps the files as they were first.
    for (const auto& [file, state] : after) {
      EXPECT_TRUE(before.count(file) != 0 || file == errorLog || file == language ||
                  InKeptGeneration(file))
          << file << " was created";
    }
  }
}

TEST_F(StandaloneWindow, CancelAnsweredNoKeepsTheWindowAndItsChoicesAndOkStillSaves) {
  ExpectedPage page(project, project.programIni(), StandaloneMachines(project));
  const int button = page.FirstSlot(1, [](const PageSlot& s) { return !s.chosen; });
  ASSERT_GT(button, 0);

  const WindowRun run =
      RunWindow(project, {},
                Script({"click cell " + std::to_string(button), "answer no", "press Cancel",
                        "report", "answer no", "close window", "report", "press OK"}));

  ASSERT_EQ(run.run.exitStatus, 0) << run.Describe();
  ASSERT_EQ(run.boxes.size(), 2u) << run.Describe();
  for (const Box& box : run.boxes) {
    EXPECT_EQ(box.title, "Cancel?");
    EXPECT_EQ(box.answer, "7");
  }
  ASSERT_EQ(run.views.size(), 2u) << run.Describe();
  page.Click(1, button);
  ExpectView(run.views[0], page, 1, 1);
  ExpectView(run.views[1], page, 1, 1);
  EXPECT_EQ(InfoKeysOf(project.programIni()), page.InfoKeys());
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()));
  EXPECT_FALSE(fs::exists(project.errorLog())) << "a cancel answered No is not logged";
}

TEST_F(IntegratedWindow,
       ShowsTheSavedChoicesAndSavesIntoTheProjectAfterUpdatingFromTheMachineCopy) {
  ExpectedPage page(project, project.savedProgramIni(), IntegratedMachines(project));
  ASSERT_NE(page.Shown(1, 1),
            ExpectedPage(project, project.programIni(), IntegratedMachines(project)).Shown(1, 1))
      << "the demo must store other choices in the save-and-restore folder";
  const int standard = page.FirstSlot(2, [](const PageSlot& s) { return !s.chosen; });
  ASSERT_TRUE(standard > 0 && standard <= 56);
  const FileState savedSettings = StateOf(project.savedProgramIni());
  const FileState machineCopy = StateOf(project.machineCopy());
  const Table fromMachineCopy = ReadTable(project.machineCopy(), "PRESET_DEFS");
  const Table fromComponent = ReadTable(project.componentDb(), "PRESET_DEFS");

  const WindowRun shown =
      RunWindow(project, {"/EXTERNAL=ZORCFG", LogfileOption(project.scratch() / "cfg.txt")},
                Script({"report", "select tab 2", "report",
                        "click cell " + std::to_string(standard), "press OK"}));

  ASSERT_EQ(shown.run.exitStatus, 0) << shown.Describe();
  EXPECT_TRUE(shown.errors.empty() && shown.boxes.empty()) << shown.Describe();
  ASSERT_EQ(shown.views.size(), 2u) << shown.Describe();
  EXPECT_EQ(shown.views[0].caption, "Erweiterte Konfiguration Config - integriert");
  ExpectView(shown.views[0], page, 1, 1);
  ExpectView(shown.views[1], page, 2, 1);

  page.Click(2, standard);
  EXPECT_EQ(InfoKeysOf(project.programIni()), page.InfoKeys());
  EXPECT_TRUE(StateOf(project.savedProgramIni()) == savedSettings)
      << "the save-and-restore folder's program.ini was written";
  EXPECT_TRUE(StateOf(project.machineCopy()) == machineCopy) << "the machine copy was written";
  EXPECT_TRUE(ReadBytes(project.componentDb()) == ReadBytes(project.sourceDb()));
  const ExpectedPresets expected = ExpectPresets(project.sourceDb(), fromMachineCopy, "Filler", 0);
  EXPECT_GT(expected.takenOver, 0);
  ASSERT_NE(expected.table.rows,
            ExpectPresets(project.sourceDb(), fromComponent, "Filler", 0).table.rows)
      << "the machine copy must hold other limits than the component database";
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"), expected.table);
  EXPECT_EQ(IniFile(project.cfg()).Get("Info", "S_Prog"), ProjectVersion() + " - Integrated");
}

TEST_F(IntegratedWindow, WithoutMachineCopyTellsSoAndTakesTheComponentDatabaseOver) {
  fs::remove(project.machineCopy());
  const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");

  const WindowRun run = RunWindow(project, {"/EXTERNAL=ZORCFG"}, Script({"answer ok", "press OK"}));

  ASSERT_EQ(run.run.exitStatus, 0) << run.Describe();
  ASSERT_EQ(run.boxes.size(), 1u) << run.Describe();
  EXPECT_EQ(run.boxes[0].text.rfind(
                "Konnte die Datei:\"Widget.mdb\" in der Vorlage nicht finden!\r\n", 0),
            0u)
      << run.boxes[0].text;
  EXPECT_EQ(run.boxes[0].style, 64);
  ExpectSameTable(ReadTable(project.componentDb(), "PRESET_DEFS"),
                  ExpectPresets(project.sourceDb(), previous, "Filler", 0).table);
}

TEST_F(IntegratedWindow, CancelAnsweredYesNamesTheProgramAndIsLoggedInTheParentsLogFile) {
  const auto before = FilesBelow(project.base());

  const WindowRun run =
      RunWindow(project, {"/EXTERNAL=ZORCFG", LogfileOption(project.scratch() / "cfg.txt")},
                Script({"answer yes", "press Cancel"}));

  ASSERT_EQ(run.run.exitStatus, 0) << run.Describe();
  ASSERT_EQ(run.boxes.size(), 1u) << run.Describe();
  const std::string& question = run.boxes[0].text;
  EXPECT_NE(question.find("\n\r\"Widget\" has to be configured again in \"standalone-mode\" via "
                          "\n\r\"" +
                          fs::canonical(project.tool()).string()),
            std::string::npos)
      << question;
  // The new log file takes the name as the parent gave it.
  EXPECT_EQ(ReadBytes(project.scratch() / "cfg.txt"), kCancelLine);
  auto after = FilesBelow(project.base());
  // The start that grows the language file keeps the files as they were first.
  std::erase_if(after, [](const auto& entry) { return InKeptGeneration(entry.first); });
  for (const auto& [file, state] : after) {
    if (file == fs::path("Config") / "Widget_Config.ini") continue;  // written at every start
    SCOPED_TRACE(file.string());
    ASSERT_EQ(before.count(file), 1u) << "created";
    EXPECT_TRUE(before.at(file) == state) << "written";
  }
  EXPECT_EQ(before.size() + 1, after.size());
}

}  // namespace
}  // namespace velnor::e2e
