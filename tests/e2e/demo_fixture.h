#pragma once
// A generated demo project with the real tool copied into it, and plain readers for
// what the tool writes (SQLite through its C API, INI files as bytes), so that the
// checks do not depend on the code under test.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "demo_db.h"
#include "run_process.h"

namespace velnor::e2e {
namespace fs = std::filesystem;

// The built tool and generator; their paths are compiled in.
fs::path ToolExecutable();
fs::path MakeDemoExecutable();
std::string ProjectVersion();

// Values as the generator's database access reads them: numbers compare by value.
using demo::SameValue;
using demo::Value;
std::string Show(const Value& value);
std::string Text(const Value& value);  // a text as it is, anything else as Show gives it

struct Table {
  std::vector<std::string> columns;
  std::vector<std::vector<Value>> rows;
  std::size_t Column(const std::string& name) const;  // position; fails the test if missing
};

// Every row of a table in stored order; fails the test (and returns nothing) when the
// file or the table cannot be read.
Table ReadTable(const fs::path& database, const std::string& table);

std::string ReadBytes(const fs::path& path);
void WriteBytes(const fs::path& path, const std::string& bytes);

// An INI file's sections and keys, decoded from Windows-1252; names ignore case.
class IniFile {
 public:
  explicit IniFile(const fs::path& path);
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::vector<std::string> Keys(const std::string& section) const;

 private:
  struct Entry {
    std::string section, key, value;
  };
  std::vector<Entry> entries_;
};

// A file's bytes and last-write time: a file written with the same bytes differs.
struct FileState {
  std::string bytes;
  fs::file_time_type written{};
  bool operator==(const FileState& o) const { return bytes == o.bytes && written == o.written; }
};
FileState StateOf(const fs::path& path);
// Every file below folder, by its path relative to folder.
std::map<fs::path, FileState> FilesBelow(const fs::path& folder);

// Whether a path below the base folder lies in a generation that a run kept before it
// wrote ("Widget/Widget_Generations/<id>/...").
bool InKeptGeneration(const fs::path& relative);

std::string Upper(std::string text);
// The text's leading decimal number as the tool reads a stored choice.
std::int64_t LeadingNumber(const std::string& text);
// Replaces the first occurrence of placeholder, found without regard to case.
std::string ReplaceFirst(const std::string& text, const std::string& placeholder,
                         const std::string& replacement);

// A demo project in a fresh temporary folder; kept (and named in the output) when the
// test failed, removed otherwise.
class DemoProject {
 public:
  // The tool copied into the project is the built program unless another is named.
  explicit DemoProject(const std::vector<std::string>& generatorOptions = {},
                       const fs::path& executable = ToolExecutable());
  ~DemoProject();
  DemoProject(const DemoProject&) = delete;
  DemoProject& operator=(const DemoProject&) = delete;

  bool ok() const { return ok_; }
  const fs::path& base() const { return base_; }
  const fs::path& scratch() const { return scratch_; }  // beside the project, for copies
  // The tool as the generator copied it in, with the extension of the executable given.
  fs::path tool() const { return tool_; }
  fs::path programIni() const { return base_ / "parameter" / "Program.ini"; }
  fs::path configIni() const { return base_ / "parameter" / "zorconfiguration.ini"; }
  fs::path savedProgramIni() const { return base_ / "SaveRestore" / "parameter" / "program.ini"; }
  fs::path cfg() const { return base_ / "Widget" / "Widget.cfg"; }
  fs::path componentDb() const { return base_ / "Widget" / "Widget.mdb"; }
  fs::path sourceDb() const { return base_ / "Widget" / "Widget_Source.mdb"; }
  fs::path machineCopy() const { return base_ / "SaveRestore" / "Widget" / "Widget.mdb"; }
  fs::path languageFile() const { return base_ / "Config" / "Widget_Config.ini"; }
  fs::path errorLog() const { return base_ / "ZORcfglog.txt"; }
  fs::path servicePackLog() const { return scratch_ / "servicepack.log"; }

  // The environment entry the tool sees first, whose value goes into the ".cfg" stamp.
  static constexpr const char* kFirstEntryName = "VELNOR_E2E_STAMP";
  static constexpr const char* kFirstEntryValue = "ab-c_d";

  // How a parent program runs the tool unattended: no display, the service-pack log in
  // the scratch folder, a working folder elsewhere.
  RunOptions Unattended() const;
  RunResult RunTool(const std::vector<std::string>& args) const;
  RunResult RunSilent() const { return RunTool({"/EXTERNAL=SILENT"}); }

 private:
  fs::path root_;
  fs::path base_;
  fs::path scratch_;
  fs::path tool_;
  bool ok_ = false;
};

}  // namespace velnor::e2e
