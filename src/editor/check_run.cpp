#include "editor/check_run.h"

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/check_report.h"
#include "app/locations.h"
#include "app/run_lock.h"
#include "app/run_state.h"
#include "editor/program.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/fs_path.h"
#include "platform/paths.h"
#include "projectdb/database.h"
#include "projectdb/jet/jet_conversion.h"
#include "settings/profile.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;

class TakeoverSeen : public RunObserver {
 public:
  void LimitsTakenOver(std::size_t carried, std::vector<DroppedLimits> dropped) override {
    carried_ = carried;
    dropped_ = std::move(dropped);
  }
  std::size_t carried_ = 0;
  std::vector<DroppedLimits> dropped_;
};

// The files of a folder, not its subfolders (kept generations and the like are no
// project data), nor the tool's own files beside them (what a killed run left, the lock
// a run holds) or the running executable.
void CopyFilesOf(const std::string& from, const std::string& to, const std::string& skip) {
  std::error_code error;
  fs::create_directories(FsPath(to), error);
  const fs::path source = FsPath(ResolvePath(from));
  if (!fs::is_directory(source, error)) return;
  for (const fs::directory_entry& entry : fs::directory_iterator(source, error)) {
    const std::string name = Utf8Of(entry.path().filename());
    if (!entry.is_regular_file(error) || name == skip ||
        name.find(".velnor-") != std::string::npos) {
      continue;
    }
    fs::copy_file(entry.path(), FsPath(JoinPath(to, name)), error);
    if (error)
      throw std::runtime_error("cannot copy '" + Utf8Of(entry.path()) +
                               "' for the check: " + error.message());
  }
}

// What a silent run reads: the settings, the component's files, the pictures and the
// language file, in the same places below a base folder of its own.
void CopyProject(const RunState& run, const std::string& scratchBase,
                 const std::string& programFolder) {
  CopyFilesOf(JoinPath(run.baseFolder, "parameter"), JoinPath(scratchBase, "parameter"), "");
  CopyFilesOf(JoinPath(run.baseFolder, run.component), JoinPath(scratchBase, run.component), "");
  CopyFilesOf(JoinPath(run.baseFolder, "Standard"), JoinPath(scratchBase, "Standard"), "");
  CopyFilesOf(run.process.executableFolder, programFolder, run.process.executableFileName);
}

std::optional<std::int64_t> PresetRows(const std::string& path) {
  try {
    db::Database database = db::Database::Open(path);
    if (!database.HasTableNamedExactly("PRESET_DEFS")) return std::nullopt;
    return database.RowCount("PRESET_DEFS");
  } catch (const std::exception&) {
    return std::nullopt;  // no readable table: the problems tell why
  }
}

using Entries = std::map<std::pair<std::string, std::string>, std::string>;

// The entries of a settings file by section and key, as the program reads them.
Entries EntriesOf(const std::string& file, const std::string& onlySection = "") {
  Entries entries;
  if (file.empty() || !FileExists(file)) return entries;
  for (ProfileEntry& entry : ReadProfileEntries(file)) {
    if (!onlySection.empty() && !EqualsIgnoringCase(entry.section, onlySection)) continue;
    entries.emplace(std::pair{entry.section, entry.key}, std::move(entry.value));
  }
  return entries;
}

std::vector<SettingChange> ChangesBetween(const Entries& before, const Entries& after) {
  std::vector<SettingChange> changes;
  for (const auto& [name, value] : after) {
    const auto old = before.find(name);
    if (old != before.end() && old->second == value) continue;
    changes.push_back({name.first, name.second,
                       old == before.end() ? std::nullopt : std::optional(old->second), value});
  }
  for (const auto& [name, value] : before) {
    if (after.count(name) == 0) changes.push_back({name.first, name.second, value, std::nullopt});
  }
  return changes;
}

// The files messages are told by, in the project.
std::vector<std::string> KnownFiles(const RunState& run) {
  const std::string component = JoinPath(run.baseFolder, run.component);
  const std::string parameter = JoinPath(run.baseFolder, "parameter");
  return {JoinPath(component, run.component + "_Source.mdb"),
          JoinPath(component, run.component + ".mdb"),
          JoinPath(component, run.component + ".cfg"),
          JoinPath(parameter, "Program.ini"),
          JoinPath(parameter, "zorconfiguration.ini"),
          JoinPath(run.process.executableFolder, run.process.executableBaseName + ".ini"),
          run.baseErrorLog};
}

}  // namespace

int CheckProject(const RunState& project, bool json, std::ostream& out, std::ostream& err) {
  const ProcessFacts& facts = project.process;
  const TemporaryFolder scratch("velnor-check-");
  if (scratch.path().empty()) {
    err << "No folder for the check's scratch copy can be made in the system's temporary "
           "folder\n";
    return 1;
  }
  CheckReport report;
  const std::string scratchBase = JoinPath(scratch.path(), "project");
  const std::string programFolder = JoinPath(scratchBase, FileNameOf(facts.executableFolder));
  {
    // A copy taken while another run writes would preview a project that never was.
    const std::string componentFolder = JoinPath(project.baseFolder, project.component);
    const FolderLock lock =
        FolderLock::Take(FolderExists(componentFolder) ? componentFolder : project.baseFolder,
                         std::chrono::milliseconds::zero());
    if (lock.state() == FolderLock::State::kBusy) {
      report.problems.push_back(
          {componentFolder, "The component \"" + project.component +
                                "\" is being configured by another run; a silent run waits "
                                "for it to end"});
    }
    try {
      CopyProject(project, scratchBase, programFolder);
    } catch (const std::exception& failure) {
      err << failure.what() << '\n';
      return 1;
    }
  }

  ProcessFacts scratchFacts = facts;
  scratchFacts.executableFolder = programFolder;
  scratchFacts.commandLine = "/EXTERNAL=SILENT";
  RunState run = StartRun(scratchFacts);
  TakeoverSeen takeover;
  run.observer = &takeover;
  std::vector<std::string> reported;
  ReportContext context = ReportContextOf(run);
  context.servicePackLog = JoinPath(scratch.path(), "servicepack.log");
  context.onReport = [&](const std::string& line) { reported.push_back(line); };

  const std::string componentDb =
      JoinPath(JoinPath(scratchBase, run.component), run.component + ".mdb");
  const std::string sourceDb =
      JoinPath(JoinPath(scratchBase, run.component), run.component + "_Source.mdb");
  const std::string programIni = JoinPath(JoinPath(scratchBase, "parameter"), "Program.ini");
  const std::string cfg = JoinPath(JoinPath(scratchBase, run.component), run.component + ".cfg");
  std::vector<std::pair<std::string, bool>> jetFiles;
  for (const std::string& path : {sourceDb, componentDb})
    jetFiles.emplace_back(path, IsJetFile(path));
  report.rowsBefore = PresetRows(componentDb);
  const Entries programIniBefore = EntriesOf(programIni);
  const Entries stampBefore = EntriesOf(cfg, "Info");

  report.status = RunWithToolkit(run, context, facts.executableFileName, nullptr);

  report.rowsAfter = PresetRows(componentDb);
  report.limitsCarried = takeover.carried_;
  report.limitsDropped = std::move(takeover.dropped_);
  report.programIni = ChangesBetween(programIniBefore, EntriesOf(programIni));
  report.stamp = ChangesBetween(stampBefore, EntriesOf(cfg, "Info"));
  for (const auto& [path, wasJet] : jetFiles) {
    if (wasJet && !IsJetFile(path))
      report.converted.push_back(ReplaceFolder(path, scratchBase, project.baseFolder));
  }
  const std::vector<std::string> known = KnownFiles(project);
  for (const std::string& line : reported) {
    std::string message = ReplaceFolder(line, scratchBase, project.baseFolder);
    std::string file = FileNamedIn(message, known, project.baseFolder);
    report.problems.push_back({std::move(file), std::move(message)});
  }
  out << (json ? CheckReportJson(report) : CheckReportText(report));
  return report.status;
}

}  // namespace velnor
