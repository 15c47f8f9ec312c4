#pragma once
// A generated project with the window of the program over it: pictures, settings and
// the component's ".cfg" file as a test needs them; message boxes answered from a
// script, an end of program thrown instead of ending the test.
#include <gtest/gtest.h>

#include <QColor>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_window.h"
#include "editor/help_mode.h"
#include "editor/window_controls.h"
#include "picture_files.h"
#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_run.h"
#include "support/throwing_program_end.h"

namespace velnor::test {

inline const QColor kPictureColor{200, 40, 160};

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() { TestProject::Write(project.cfgPath(), "[Project]\r\nValidMachines=ALL\r\n"); }

  std::filesystem::path ProgramIni() const { return project.parameterFolder() / "Program.ini"; }
  std::filesystem::path StandardFolder() const { return project.base() / "Standard"; }
  std::filesystem::path LanguageFile() const {
    return project.programFolder() / (project.component() + "_Config.ini");
  }

  void WriteProgramIni(const std::string& text) const { TestProject::Write(ProgramIni(), text); }

  // Info buttons first .. last as GIF files in the program's folder.
  void InfoButtons(int first, int last) const {
    for (int number = first; number <= last; ++number) {
      char name[32];
      std::snprintf(name, sizeof name, "Info_Button_%03d_800.gif", number);
      WriteGif(project.programFolder() / name, 40, 30, kPictureColor);
    }
  }

  // Warning n of the line (machine "") or of a machine, as a BMP file.
  std::filesystem::path Warning(int number, const std::string& machine = "",
                                const std::string& resolution = "1280", int width = 32,
                                int height = 32) const {
    char name[64];
    std::snprintf(name, sizeof name, "Warn_%02d_", number);
    const std::string file = name + (machine.empty() ? "" : machine + "_") + resolution + ".bmp";
    WriteBmp(StandardFolder() / file, width, height, kPictureColor);
    return StandardFolder() / file;
  }

  // The window of the run over the project as it lies now, not yet loaded.
  EditorWindow& Create() {
    run.FindFiles();
    window = std::make_unique<EditorWindow>(run);
    return *window;
  }

  // The window after its load event, not yet shown.
  EditorWindow& Load() {
    Create().Form_Load();
    return *window;
  }

  // The window loaded and shown, which activates it and draws the first tab.
  EditorWindow& LoadAndShow() {
    Load();
    window->show();
    return *window;
  }

  // Boxes of the failure report shown so far.
  int FailureBoxes() const {
    int count = 0;
    for (const auto& shown : box.shown()) count += shown.title == "Unexpected error" ? 1 : 0;
    return count;
  }

  // Texts of the information boxes shown so far: notices that ask nothing.
  std::vector<std::string> Notices() const {
    std::vector<std::string> texts;
    for (const auto& shown : box.shown()) {
      if (shown.style == kStyleInformation) texts.push_back(shown.text);
    }
    return texts;
  }

  TestProject project;
  TestRun run{project};
  ScriptedMessageBox box;
  ThrowingProgramEnd end;
  std::unique_ptr<EditorWindow> window;
};

}  // namespace velnor::test
