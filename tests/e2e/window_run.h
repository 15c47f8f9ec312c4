#pragma once
// Runs the window of the program over a demo project on the offscreen platform, driven
// by e2e_window_driver (copied into the project in place of the tool), and reads back
// what the driver saw: the message boxes and the views of the window.
#include <map>
#include <string>
#include <vector>

#include "demo_fixture.h"

namespace velnor::e2e {

// The test driver; its path is compiled in.
fs::path WindowDriverExecutable();

// The driver's exit status when the script ended with the window still open.
inline constexpr int kWindowStillOpen = 3;

struct Box {
  std::string title;
  std::string text;
  int style = 0;
  std::string answer;  // "6", or "default 7" for a box the script had no answer for
};

// One "report" of the script: what the window showed at that moment.
struct View {
  int tab = 0;
  int scroll = 0;
  int scrollMaximum = 0;
  std::string caption;
  // One line per shown cell ("cell 3 chosen Warning 3") and per shown row label
  // ("label 5 Filler"), in the order of the cells and rows.
  std::vector<std::string> shown;
  int VisibleCells() const;
  std::map<int, std::string> Labels() const;  // by visible row
};

struct WindowRun {
  RunResult run;
  std::vector<Box> boxes;
  std::vector<View> views;
  std::vector<std::string> errors;  // actions the driver could not carry out
  std::string report;               // the report as written
  std::string Describe() const;
};

// Runs the driver in project with args and the script; the project must have been made
// with WindowDriverExecutable() as its tool.
WindowRun RunWindow(const DemoProject& project, const std::vector<std::string>& args,
                    const std::string& script);

}  // namespace velnor::e2e
