#include "demo_fixture.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/system.h"

namespace velnor::e2e {

fs::path ToolExecutable() {
  return VELNOR_CONFIG_EXE;
}
fs::path MakeDemoExecutable() {
  return VELNOR_MAKE_DEMO_EXE;
}
std::string ProjectVersion() {
  return VELNOR_PROJECT_VERSION;
}

std::string Show(const Value& value) {
  if (const auto* s = std::get_if<std::string>(&value)) return "\"" + *s + "\"";
  return demo::ValueText(value);
}

std::string Text(const Value& value) {
  return demo::ValueText(value);
}

std::size_t Table::Column(const std::string& name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] == name) return i;
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

Table ReadTable(const fs::path& database, const std::string& table) {
  Table result;
  try {
    demo::DemoDb db(database, /*create=*/false);
    result.columns = db.ColumnNames(table);
    result.rows = db.Select("SELECT * FROM \"" + table + "\" ORDER BY rowid");
  } catch (const std::exception& error) {
    ADD_FAILURE() << error.what();
    return {};
  }
  return result;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Windows-1252 to UTF-8 for the bytes the demo uses (Latin-1 range); others become "?".
std::string Decode(const std::string& bytes) {
  std::string out;
  for (char ch : bytes) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x80) {
      out.push_back(ch);
    } else if (byte < 0xA0) {
      out.push_back('?');
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

}  // namespace

IniFile::IniFile(const fs::path& path) {
  std::istringstream lines(Decode(ReadBytes(path)));
  std::string section;
  std::string line;
  while (std::getline(lines, line)) {
    line = Trim(line);
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = Trim(line.substr(1, line.rfind(']') - 1));
    } else if (const auto equals = line.find('='); equals != std::string::npos) {
      entries_.push_back({section, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
    }
  }
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
  for (const Entry& e : entries_) {
    if (Lower(e.section) == Lower(section) && Lower(e.key) == Lower(key)) return e.value;
  }
  return std::nullopt;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
  std::vector<std::string> keys;
  for (const Entry& e : entries_) {
    if (Lower(e.section) == Lower(section)) keys.push_back(e.key);
  }
  return keys;
}

FileState StateOf(const fs::path& path) {
  std::error_code ignored;  // a missing file has no time, and its bytes say so already
  return {ReadBytes(path), fs::last_write_time(path, ignored)};
}

std::map<fs::path, FileState> FilesBelow(const fs::path& folder) {
  std::map<fs::path, FileState> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files[entry.path().lexically_relative(folder)] = StateOf(entry.path());
  }
  return files;
}

bool InKeptGeneration(const fs::path& relative) {
  auto part = relative.begin();
  return part != relative.end() && *part == "Widget" && ++part != relative.end() &&
         *part == "Widget_Generations";
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::int64_t LeadingNumber(const std::string& text) {
  std::int64_t value = 0;
  std::size_t i = text.find_first_not_of(' ');
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string ReplaceFirst(const std::string& text, const std::string& placeholder,
                         const std::string& replacement) {
  const std::string lower = Lower(text);
  const auto at = lower.find(Lower(placeholder));
  if (at == std::string::npos) return text;
  return text.substr(0, at) + replacement + text.substr(at + placeholder.size());
}

DemoProject::DemoProject(const std::vector<std::string>& generatorOptions,
                         const fs::path& executable) {
  root_ = test::NewTemporaryFolder("velnor-e2e-");
  if (root_.empty()) {
    ADD_FAILURE() << "cannot create a temporary folder";
    return;
  }
  base_ = root_ / "project";
  scratch_ = root_ / "scratch";
  tool_ = base_ / "Config" / "Widget_Config";
  tool_ += executable.extension();
  fs::create_directories(scratch_);
  std::vector<std::string> args = {base_.string(), executable.string()};
  args.insert(args.end(), generatorOptions.begin(), generatorOptions.end());
  const RunResult made = RunProgram(MakeDemoExecutable(), args, RunOptions{});
  ok_ = made.exitStatus == 0;
  if (!ok_) ADD_FAILURE() << "velnor_make_demo failed: " << made.Describe();
}

DemoProject::~DemoProject() {
  if (root_.empty()) return;
  if (::testing::Test::HasFailure()) {
    std::cout << "The project of this failed test is kept in " << root_ << "\n";
  } else {
    std::error_code ignored;  // a folder that cannot be removed only costs disk space
    fs::remove_all(root_, ignored);
  }
}

RunOptions DemoProject::Unattended() const {
  RunOptions options;
  options.workingFolder = scratch_;
  options.firstEntries = {{kFirstEntryName, kFirstEntryValue}};
  // As a service starts it: without a display and without a runtime folder.
  options.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"};
  options.set = {{"QUARN_SERVICEPACK_LOG", servicePackLog().string()}};
  return options;
}

RunResult DemoProject::RunTool(const std::vector<std::string>& args) const {
  return RunProgram(tool(), args, Unattended());
}

}  // namespace velnor::e2e
