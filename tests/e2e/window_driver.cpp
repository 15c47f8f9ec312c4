// e2e_window_driver: the program itself, with a script in place of the person in front
// of its window. Copied into a project as the component's tool (Config/Widget_Config),
// it runs exactly as the shipped program does, except that the message boxes are
// answered and the shown window is driven by the script in the file that
// VELNOR_E2E_SCRIPT names; what it sees goes to the file that VELNOR_E2E_REPORT names.
//
// Script, one action per line, "#" starts a comment:
//   answer yes | no | ok     answer for the next message box
//   select tab N             click tab N of the tab strip (1 "Schalter", 2 "Symbole")
//   scroll N                 move the scroll bar to row N
//   click cell N             click picture cell N (1..56), which must be shown
//   click header             click the header label
//   press OK | Cancel | ?    click a button
//   key KEYS                 press keys where the focus is, as Qt writes them
//                            ("Right", "Space", "Ctrl+Tab", "Return", "Escape")
//   close window             the window's close button
//   report                   write what the window shows now
//   screenshot FILE          save the window as a PNG file (the rest of the line)
//
// Report, one line per fact, fields separated by tabs:
//   box <title> <text, line breaks as \n and \r, a backslash as \\> <style> <answer>
//   view <tab> <scroll position> <scroll maximum>, then
//   caption <text>, cell <n> <chosen | not chosen> <what it shows>, label <row> <text>,
//   and end.
//
// Exit status: the program's own; 3 when the script ended with the window still open;
// 4 when an action could not be carried out (named in the report and on standard error).
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/editor_window.h"
#include "editor/program.h"
#include "editor/window_controls.h"
#include "platform/message_box.h"

namespace {

using velnor::EditorWindow;

constexpr int kScriptEndedWithWindowOpen = 3;
constexpr int kScriptFailed = 4;

class Report {
 public:
  explicit Report(std::string path) : path_(std::move(path)) {}

  // Each line is on disk before the next action runs: an OK or a confirmed Cancel ends
  // the process where it stands.
  void Line(const std::vector<std::string>& fields) const {
    std::ofstream out(path_, std::ios::app | std::ios::binary);
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i == 0 ? "" : "\t") << fields[i];
    out << '\n';
  }

 private:
  std::string path_;
};

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\\') {
      out += "\\\\";  // a Windows path ("C:\users\root") must not read as a line break
    } else {
      out += c;
    }
  }
  return out;
}

// Answers the boxes in script order and reports every box shown. A box the script did
// not expect takes its default answer, as in an unattended run.
class ScriptBox : public velnor::MessageBoxService {
 public:
  explicit ScriptBox(const Report& report) : report_(report) {}
  void Answer(int answer) { answers_.push_back(answer); }

  int Show(const std::string& text, int style, const std::string& title) override {
    int answer = velnor::DefaultAnswer(style);
    std::string given = "default " + std::to_string(answer);
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
      given = std::to_string(answer);
    }
    report_.Line({"box", title, Escaped(text), std::to_string(style), given});
    return answer;
  }

 private:
  const Report& report_;
  std::deque<int> answers_;
};

std::vector<std::string> ReadScript(const char* path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error(std::string("cannot read the script ") + path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    line = line.substr(0, line.find('#'));
    const std::size_t last = line.find_last_not_of(" \t\r");
    if (last != std::string::npos) lines.push_back(line.substr(0, last + 1));
  }
  return lines;
}

int Number(const std::string& text, int low, int high) {
  std::size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || value < low || value > high) {
    throw std::runtime_error(text + " is no number from " + std::to_string(low) + " to " +
                             std::to_string(high));
  }
  return value;
}

void ReportView(EditorWindow& window, const Report& report) {
  report.Line({"view", std::to_string(window.SelectedTab()),
               std::to_string(window.VScroll()->value()),
               std::to_string(window.VScroll()->maximum())});
  report.Line({"caption", window.windowTitle().toStdString()});
  for (int index = 1; index <= velnor::kCellCount; ++index) {
    velnor::PictureBox* cell = window.Bild(index);
    if (!cell->isVisible()) continue;
    const QColor back = cell->BackColor();
    const std::string state = back == velnor::kChosenColor      ? "chosen"
                              : back == velnor::kNotChosenColor ? "not chosen"
                                                                : back.name().toStdString();
    report.Line({"cell", std::to_string(index), state, cell->accessibleName().toStdString()});
  }
  for (int row = 1; row <= velnor::kVisibleRows; ++row) {
    if (window.Maschine(row)->isVisible()) {
      report.Line({"label", std::to_string(row), window.Maschine(row)->text().toStdString()});
    }
  }
  report.Line({"end"});
}

void Click(QWidget* widget, const std::string& what) {
  if (!widget->isVisible()) throw std::runtime_error(what + " is not shown");
  QTest::mouseClick(widget, Qt::LeftButton);
}

void Perform(EditorWindow& window, ScriptBox& box, const Report& report,
             const std::string& action) {
  std::istringstream words(action);
  std::string verb, object, argument, rest;
  words >> verb;
  std::getline(words >> std::ws, rest);
  std::istringstream tail(rest);
  tail >> object;
  std::getline(tail >> std::ws, argument);

  if (verb == "answer") {
    if (object == "yes") {
      box.Answer(velnor::kAnswerYes);
    } else if (object == "no") {
      box.Answer(velnor::kAnswerNo);
    } else if (object == "ok") {
      box.Answer(velnor::kAnswerOk);
    } else {
      throw std::runtime_error("no such answer: " + object);
    }
  } else if (verb == "report" && object.empty()) {
    ReportView(window, report);
  } else if (verb == "select" && object == "tab") {
    QTabBar* bar = window.TabStrip()->tabBar();
    const int tab = Number(argument, 1, bar->count());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab - 1).center());
  } else if (verb == "scroll") {
    QScrollBar* bar = window.VScroll();
    bar->setValue(Number(object, bar->minimum(), bar->maximum()));
  } else if (verb == "click" && object == "cell") {
    const int index = Number(argument, 1, velnor::kCellCount);
    Click(window.Bild(index), "cell " + argument);
  } else if (verb == "click" && object == "header") {
    Click(window.Header(), "the header");
  } else if (verb == "press" && object == "OK") {
    Click(window.CommandOK(), "OK");
  } else if (verb == "press" && object == "Cancel") {
    Click(window.CommandCancel(), "Cancel");
  } else if (verb == "press" && object == "?") {
    Click(window.CommandQuest(), "?");
  } else if (verb == "key" && !rest.empty()) {
    const QKeySequence keys(QString::fromStdString(rest));
    if (keys.isEmpty() || keys[0].key() == Qt::Key_unknown) {
      throw std::runtime_error("no such key: " + rest);
    }
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &window, keys[0].key(), keys[0].keyboardModifiers());
  } else if (verb == "close" && object == "window") {
    window.close();
  } else if (verb == "screenshot" && !rest.empty()) {
    if (!window.grab().toImage().save(QString::fromStdString(rest), "PNG")) {
      throw std::runtime_error("cannot write " + rest);
    }
  } else {
    throw std::runtime_error("no such action");
  }
}

EditorWindow* ShownWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<EditorWindow*>(widget);
    if (window != nullptr && window->isVisible()) return window;
  }
  return nullptr;
}

// Runs the script when the window is shown; false while it is not yet.
std::function<bool()> RunScript;

// Looks for the shown window from the toolkit's start on, at every turn of its event
// loop; the load before the window shows processes events as well.
void WaitForTheWindow() {
  QTimer::singleShot(10, [] {
    if (!RunScript || !RunScript()) WaitForTheWindow();
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(WaitForTheWindow)

int main(int argc, char** argv, char** envp) {
  const char* scriptPath = std::getenv("VELNOR_E2E_SCRIPT");
  const char* reportPath = std::getenv("VELNOR_E2E_REPORT");
  if (scriptPath == nullptr || reportPath == nullptr) {
    std::cerr << "e2e_window_driver: VELNOR_E2E_SCRIPT and VELNOR_E2E_REPORT must name the "
                 "script and the report file\n";
    return kScriptFailed;
  }
  const Report report(reportPath);
  std::vector<std::string> script;
  try {
    script = ReadScript(scriptPath);
  } catch (const std::exception& failure) {
    std::cerr << "e2e_window_driver: " << failure.what() << '\n';
    return kScriptFailed;
  }

  ScriptBox box(report);
  // The script starts once the window of the run is shown and its event loop runs; the
  // program knows nothing of it and is found among the toolkit's windows.
  RunScript = [&] {
    EditorWindow* window = ShownWindow();
    if (window == nullptr) return false;
    // As a person's window, it is the active one: its keyboard shortcuts work there only.
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
      std::cerr << "e2e_window_driver: the window did not become active\n";
    }
    for (const std::string& action : script) {
      try {
        Perform(*window, box, report, action);
      } catch (const std::exception& failure) {
        report.Line({"error", action, failure.what()});
        std::cerr << "e2e_window_driver: " << action << ": " << failure.what() << '\n';
        QCoreApplication::exit(kScriptFailed);
        return true;
      }
      QApplication::processEvents();
      // A window closed after a confirmed cancel ends the event loop and the program.
      if (!window->isVisible()) return true;
    }
    QCoreApplication::exit(kScriptEndedWithWindowOpen);
    return true;
  };
  return velnor::RunProgram(argc, argv, envp, &box);
}
