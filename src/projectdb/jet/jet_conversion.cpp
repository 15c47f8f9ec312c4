#include "projectdb/jet/jet_conversion.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/generations.h"
#include "app/locations.h"
#include "app/run_lock.h"
#include "errors/error_report.h"
#include "errors/procedure.h"
#include "platform/child_process.h"
#include "platform/files.h"
#include "platform/kept_original.h"
#include "platform/paths.h"
#include "projectdb/database.h"
#include "projectdb/jet/jet_reader.h"

namespace velnor {
namespace {

// A folder of its own for the converter's output, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velnor-jet-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      Raise(failure_number::kFileAccessError, "cannot make a temporary folder: " + pattern);
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;  // a leftover temporary folder harms nothing
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
  Raise(failure_number::kDatabaseError,
        "The Access database '" + path + "' is not converted and stays as it is: " + reason);
}

// The converter's own reason, when it gave one, else how it ended.
std::string ReasonOf(const ChildOutcome& outcome) {
  const std::string prefix = jet::kReasonPrefix;
  const std::size_t at = outcome.errorOutput.rfind(prefix);
  if (outcome.exited && at != std::string::npos) {
    std::string reason = outcome.errorOutput.substr(at + prefix.size());
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    return reason;
  }
  return "the converter " + outcome.Describe();
}

// The converted file must hold every table with as many rows as the Jet file's table
// headers count, and pass the engine's own check.
void Check(const std::string& jetPath, const std::string& converted, const std::string& manifest) {
  db::Database result = db::Database::Open(converted);
  db::Statement integrity(result, "PRAGMA integrity_check", result.Describe("checking"));
  if (!integrity.Step() || integrity.Column(0) != db::Value("ok")) {
    Refuse(jetPath, "the converted database fails its integrity check");
  }
  std::istringstream lines(manifest);
  std::string line;
  std::size_t tables = 0;
  while (std::getline(lines, line)) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) Refuse(jetPath, "the converter's answer is garbled");
    const std::string name = line.substr(tab + 1);
    const std::int64_t expected = std::stoll(line.substr(0, tab));
    const std::int64_t found = result.RowCount(name);
    if (found != expected) {
      Refuse(jetPath, "table " + name + " holds " + std::to_string(found) +
                          " rows after conversion, its Jet header counts " +
                          std::to_string(expected));
    }
    ++tables;
  }
  if (tables != result.TableNames().size()) {
    Refuse(jetPath, "the converted database holds other tables than the Jet file");
  }
}

}  // namespace

std::string ConvertIfJet(const std::string& path, const JetConversionSettings& settings) {
  if (path.empty() || !FileExists(path) || !IsJetFile(path)) return "";
  const std::string original = ResolvePath(path);

  const ScratchFolder scratch;
  const std::string converted = scratch.path() + "/converted.sqlite";
  const ChildOutcome outcome = RunChildProcess(
      settings.converter, {jet::kConvertOption, original, converted}, settings.timeLimit);
  if (!outcome.Succeeded()) Refuse(original, ReasonOf(outcome));
  try {
    Check(original, converted, outcome.output);
  } catch (const Failure& failure) {
    if (failure.description().starts_with("The Access database")) throw;
    Refuse(original, failure.description());
  } catch (const std::exception& error) {  // a row count that is no number
    Refuse(original, std::string("the converter's answer is garbled: ") + error.what());
  }

  const KeptOriginal kept = KeepOriginalBeside(original, ".jet");
  if (!kept.ok) Refuse(original, kept.error);
  const IoResult replaced = CopyFileAtomically(converted, original);
  if (!replaced) {
    ::unlink(kept.path.c_str());  // the original is still in its place
    Refuse(original, replaced.error);
  }
  WriteErrorLog("Access database '" + original +
                "' converted to SQLite; the original is kept as '" + kept.path + "'");
  return kept.path;
}

void ConvertJetDatabases(const RunState& run, const JetConversionSettings& settings) {
  Procedure proc("ConvertJetDatabases");
  for (const std::string& path : {GetPathSourceOCXMDB(run), GetPathOCXMDB(run)}) {
    proc.Step([&] {
      if (IsJetFile(path) && KeepGenerationBeforeWriting(run)) ConvertIfJet(path, settings);
    });
  }
}

int ImportJetDatabases(const ProcessFacts& facts, std::ostream& out, std::ostream& err) {
  const RunState run = StartRun(facts);
  // No one is asked anything: failures are named on err, entries go to the logs.
  ReportContext context = ReportContextOf(run);
  context.silent = true;
  const ReportScope report(context);
  if (run.component.empty()) {
    err << "The executable's name '" << facts.executableBaseName << "' names no component\n";
    return 1;
  }
  // Never beside a run that updates the same databases.
  const FolderLock lock = LockTheRun(run, std::chrono::milliseconds::zero());
  const std::vector<std::string> paths = {GetPathSourceOCXMDB(run), GetPathOCXMDB(run)};
  // What a conversion replaces is kept first, as by any run that writes the project.
  if (std::any_of(paths.begin(), paths.end(), [](const std::string& p) { return IsJetFile(p); })) {
    try {
      KeepGeneration(run, "Import of Access databases");
    } catch (const Failure& failure) {
      err << failure.description() << '\n';
      return 1;
    }
  }
  bool failed = false;
  for (const std::string& path : paths) {
    try {
      const std::string kept = ConvertIfJet(path);
      if (!kept.empty())
        out << "Converted " << path << " (the original is kept as " << kept << ")\n";
    } catch (const Failure& failure) {
      err << failure.description() << '\n';
      failed = true;
    }
  }
  return failed ? 1 : 0;
}

}  // namespace velnor
