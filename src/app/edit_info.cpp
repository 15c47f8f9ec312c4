#include "app/edit_info.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/generations.h"
#include "app/locations.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

std::string ProgramStamp(const RunState& run) {
  return VersionText(run.process.version) +
         (run.mode.integrated ? " - Integrated" : " - Standalone");
}

// The value part of a NAME=value entry: everything after the first "=".
std::string EnvironmentIdentity(const std::string& entry) {
  const std::size_t equals = entry.find('=');
  return equals == std::string::npos ? std::string() : entry.substr(equals + 1);
}

// Each character's Windows-1252 code plus 5 in upper-case hexadecimal, "-" and "_"
// left out.
std::string EncodeIdentity(const std::string& identity) {
  std::string encoded;
  for (const char c : Utf8ToCp1252(identity)) {
    if (c == '-' || c == '_') continue;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(static_cast<unsigned char>(c)) + 5u);
    encoded += hex;
  }
  return encoded;
}

}  // namespace

void WriteEditInfo(const RunState& run) {
  Procedure proc("WriteEditInfo");
  std::string cfg;
  std::string stamp;
  std::string encoded;
  // A missing ".cfg" file ends the program here, before anything is written.
  proc.Step([&] { cfg = GetCFGPath(run); });
  proc.Step([&] { stamp = ProgramStamp(run); });
  proc.Step(
      [&] { encoded = EncodeIdentity(EnvironmentIdentity(run.process.firstEnvironmentEntry)); });
  // Both keys in one replacement of the file, so that it never holds half a stamp.
  proc.Step([&] {
    const std::vector<std::string> unwritten = SaveIniEntries(
        {{"Info", "S_Prog", stamp}, {"Info", "S_Editor", encoded}}, cfg, KeepingBeforeWriting(run));
    if (unwritten.empty()) return;
    const std::string keys = Join(unwritten, ", ");
    LogFailure(failure_number::kFileAccessError,
               "The stamp " + keys + " could not be written to '" + cfg + "'", "WriteEditInfo");
  });
}

}  // namespace velnor
