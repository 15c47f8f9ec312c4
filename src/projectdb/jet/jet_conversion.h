#pragma once
// Projects made on Windows bring their databases as Access (Jet 3 or Jet 4) files. Where
// the tool expects one of its databases and finds such a file, it converts it: the
// converted SQLite file takes the Jet file's place, and the Jet file is kept beside it
// as "<name>.jet". The tool reads the file itself (jet_reader.h), checking every page
// number, offset and chain, so that a damaged file is a report, never a crash or a hang.
#include <chrono>
#include <iosfwd>
#include <string>
#include <string_view>

#include "app/run_state.h"
#include "platform/process.h"

namespace velnor {

struct JetConversionSettings {
  // The last guard, should a damaged file keep the reader going where its checks did
  // not foresee it: the conversion fails at this time limit.
  std::chrono::milliseconds timeLimit{60'000};
};

// Whether these are the first bytes of a Jet 3 or Jet 4 database: "Standard Jet DB" and
// a NUL at offset 4, the version (0 or 1) at offset 0x14. The name says nothing.
bool HasJetSignature(std::string_view firstBytes);
bool IsJetFile(const std::string& path);

// When the file at path is a Jet database: converts it, checks the result (the row count
// of every table as its Jet header counts it, the engine's integrity check), keeps the
// original beside it, replaces the file and writes one line to the error log. Returns
// the name under which the original is kept, "" when the file is no Jet database (or
// missing). Any failure is a Failure naming the file and the reason; the Jet file then
// stays as it is and nothing is replaced.
std::string ConvertIfJet(const std::string& path, const JetConversionSettings& settings = {});

// The update's hook, before any database is opened: the source and the component
// databases, each converted when it is a Jet file. The machine copy is never written;
// in integrated mode it has been copied over the component database already.
void ConvertJetDatabases(const RunState& run, const JetConversionSettings& settings = {});

// "--import-jet" as the whole command line: converts the databases of the run's component
// and does nothing else. The run names its component, and its report, which asks no one,
// is in place. Returns the exit status: 0, or 1 after naming on err what failed.
inline constexpr const char* kImportJetOption = "--import-jet";
int ImportJetDatabases(const RunState& run, std::ostream& out, std::ostream& err);

}  // namespace velnor
