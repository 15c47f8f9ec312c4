#pragma once
// A complete panel project for the tool: the line's settings, the component's settings
// and databases, the pictures and the tool itself, laid out as the tool looks for them.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "demo_db.h"

namespace velnor::demo {

inline constexpr const char* kComponent = "Widget";
inline constexpr const char* kProgramFolder = "Config";
inline constexpr const char* kExecutableName = "Widget_Config";
inline constexpr const char* kSaveRestoreFolder = "SaveRestore";
inline constexpr const char* kServicePackLog = "QuarnServicePack.log";
inline constexpr const char* kErrorLog = "ZORcfglog.txt";
inline constexpr int kInfoButtons = 20;
inline constexpr int kStandardWarnings = 30;
inline constexpr int kMaxMachines = 7;
inline constexpr int kMaxRows = 30000;

struct DemoOptions {
  int machines = 3;
  int rows = 300;
  std::string firstMachine;  // the first machine's name in place of "Filler" when not ""
};

struct PresetColumn {
  const char* name;
  const char* declaredType;
};
// The columns of "Source_PRESET_DEFS" and "PRESET_DEFS", in their stored order.
const std::vector<PresetColumn>& PresetColumns();
// Position of a column in PresetColumns().
std::size_t ColumnIndex(const std::string& name);

struct NamePattern {
  const char* system;  // as stored in "Source_DEFS"
  int part;
  const char* pattern;
};
const std::vector<NamePattern>& NamePatterns();

// The line's machines, in order: Filler, Capper, Labeler, ...
std::vector<std::string> MachineNames(int count);
// Numbers of the warning pictures that machine m (1-based) has.
std::vector<int> MachineWarningNumbers(int machine);

// The template rows of "Source_PRESET_DEFS".
std::vector<Row> TemplateRows(int count);

// Replaces the first occurrence of placeholder, found without regard to ASCII case.
std::string ReplaceFirst(const std::string& text, const std::string& placeholder,
                         const std::string& replacement);
// A variable's full name: the pattern with the name put in and the machine's name put in
// place of the first two "###machine".
std::string ComposeVarName(const std::string& pattern, const std::string& varName,
                           const std::string& machine);

struct DemoContents {
  std::vector<std::string> machines;
  int templateRows = 0;
  int previousRows = 0;
  int machineCopyRows = 0;
  int infoButtons = 0;
  int standardWarnings = 0;
  std::vector<std::pair<std::string, int>> machineWarnings;  // machine, number of pictures
  std::filesystem::path executable;                          // "" when none was copied
};

// Writes the project into folder, which must be new, empty or an earlier demo project
// (then replaced). An empty executable path copies no executable. Throws
// std::runtime_error naming the file on any failure.
DemoContents WriteDemoProject(const std::filesystem::path& folder,
                              const std::filesystem::path& executable, const DemoOptions& options);

// A few lines that say what was written where.
std::string DescribeDemo(const std::filesystem::path& folder, const DemoContents& contents);

}  // namespace velnor::demo
