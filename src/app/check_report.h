#pragma once
// What --check tells: the problems a silent run would meet and what its OK would change,
// as text for a person or as one JSON object for a parent program. Pure formatting and
// the naming of files in messages; the run that finds all this is elsewhere.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run_observer.h"

namespace velnor {

struct CheckProblem {
  std::string file;  // the project file the message names first, "" when it names none
  std::string message;
};

struct SettingChange {
  std::string section;
  std::string key;
  std::optional<std::string> old;  // nothing: the key does not exist yet
  std::optional<std::string> now;  // nothing: the key goes
};

struct CheckReport {
  int status = 0;  // the exit status the run would end with
  std::vector<CheckProblem> problems;
  std::optional<std::int64_t> rowsBefore;  // nothing: no readable table before
  std::optional<std::int64_t> rowsAfter;
  std::size_t limitsCarried = 0;
  std::vector<DroppedLimits> limitsDropped;
  std::vector<SettingChange> programIni;
  std::vector<SettingChange> stamp;    // the component's ".cfg"
  std::vector<std::string> converted;  // Access databases that become SQLite
};

// {"status": ..., "problems": [...], "changes": {"preset_defs": {...}, "program_ini": [...],
// "converted": [...]}} on one line.
std::string CheckReportJson(const CheckReport& report);
// The same for a person, a few lines per part.
std::string CheckReportText(const CheckReport& report);

// The file a message concerns: the first of knownFiles that it names (without regard to
// case, since some messages name files in capitals), else the first path that starts
// with the base folder, up to a quote, a colon and blank, or the line's end; "" when it
// names none.
std::string FileNamedIn(const std::string& message, const std::vector<std::string>& knownFiles,
                        const std::string& baseFolder);

// The text with every mention of the folder from (in its case or in capitals) replaced by
// the folder to (in the same case): messages of the scratch copy told of the project.
std::string ReplaceFolder(std::string text, const std::string& from, const std::string& to);

}  // namespace velnor
