#include "window_run.h"

#include <sstream>

namespace velnor::e2e {
namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() &&
        (text[i + 1] == 'n' || text[i + 1] == 'r' || text[i + 1] == '\\')) {
      ++i;
      out += text[i] == 'n' ? '\n' : text[i] == 'r' ? '\r' : '\\';
    } else {
      out += text[i];
    }
  }
  return out;
}

int Int(const std::vector<std::string>& fields, std::size_t at) {
  return at < fields.size() ? static_cast<int>(LeadingNumber(fields[at])) : -1;
}

void Parse(WindowRun& result) {
  std::istringstream lines(result.report);
  std::string line;
  View* view = nullptr;
  while (std::getline(lines, line)) {
    const std::vector<std::string> f = Fields(line);
    if (f.empty()) continue;
    if (f[0] == "box" && f.size() == 5) {
      result.boxes.push_back({f[1], Unescaped(f[2]), Int(f, 3), f[4]});
    } else if (f[0] == "view") {
      result.views.push_back({Int(f, 1), Int(f, 2), Int(f, 3), "", {}});
      view = &result.views.back();
    } else if (f[0] == "caption" && view != nullptr && f.size() == 2) {
      view->caption = f[1];
    } else if ((f[0] == "cell" || f[0] == "label") && view != nullptr) {
      std::string shown = f[0];
      for (std::size_t i = 1; i < f.size(); ++i) shown += " " + f[i];
      view->shown.push_back(shown);
    } else if (f[0] == "end") {
      view = nullptr;
    } else if (f[0] == "error") {
      result.errors.push_back(line);
    } else {
      ADD_FAILURE() << "the driver's report has a line it should not have: " << line;
    }
  }
}

}  // namespace

fs::path WindowDriverExecutable() {
  return VELNOR_WINDOW_DRIVER_EXE;
}

int View::VisibleCells() const {
  int count = 0;
  for (const std::string& line : shown) count += line.rfind("cell ", 0) == 0 ? 1 : 0;
  return count;
}

std::map<int, std::string> View::Labels() const {
  std::map<int, std::string> labels;
  for (const std::string& line : shown) {
    if (line.rfind("label ", 0) != 0) continue;
    const std::size_t blank = line.find(' ', 6);
    labels[static_cast<int>(LeadingNumber(line.substr(6)))] =
        blank == std::string::npos ? "" : line.substr(blank + 1);
  }
  return labels;
}

std::string WindowRun::Describe() const {
  return run.Describe() + "--- report\n" + report;
}

WindowRun RunWindow(const DemoProject& project, const std::vector<std::string>& args,
                    const std::string& script) {
  static int runs = 0;
  ++runs;
  const fs::path scriptFile = project.scratch() / ("script-" + std::to_string(runs) + ".txt");
  const fs::path reportFile = project.scratch() / ("report-" + std::to_string(runs) + ".txt");
  WriteBytes(scriptFile, script);

  RunOptions options = project.Unattended();
  options.unset = {"DISPLAY", "WAYLAND_DISPLAY"};
  options.set["QT_QPA_PLATFORM"] = "offscreen";
  options.set["VELNOR_E2E_SCRIPT"] = scriptFile.string();
  options.set["VELNOR_E2E_REPORT"] = reportFile.string();
  options.timeLimit = std::chrono::seconds(60);

  WindowRun result;
  result.run = RunProgram(project.tool(), args, options);
  result.report = ReadBytes(reportFile);
  Parse(result);
  return result;
}

}  // namespace velnor::e2e
