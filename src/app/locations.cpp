#include "app/locations.h"

#include <vector>

#include "errors/error_report.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

constexpr std::size_t kSuffixLength = 7;  // "_Config"

std::string Sep() {
  return std::string(1, kPathSeparator);
}

// base folder + separator + component + separator + component + suffix
std::string ComponentFile(const RunState& run, const std::string& suffix) {
  return run.baseFolder + Sep() + run.component + Sep() + run.component + suffix;
}

std::string ExistingOrEmpty(const std::string& path) {
  return FileExists(path) ? path : "";
}

// folder + rest, with exactly one separator between them
std::string InFolder(const std::string& folder, const std::string& rest) {
  if (!folder.empty() && IsPathSeparator(folder.back())) return folder + rest;
  return folder + Sep() + rest;
}

std::string SaveAndRestoreFolder(const std::string& configurationIniPath) {
  return NativePath(
      LoadIniString("Common", "SaveAndRestore", configurationIniPath, kAnyMode, kQuietIfMissing));
}

}  // namespace

std::string BaseFolderOf(const std::string& executableFolder) {
  std::string folder = executableFolder;
  while (!folder.empty() && !IsPathSeparator(folder.back())) folder.pop_back();
  if (!folder.empty()) folder.pop_back();
  return folder;
}

std::optional<std::string> ComponentNameOf(const std::string& executableBaseName) {
  // The suffix is counted in characters, not bytes: a name with letters beyond ASCII
  // must neither lose a letter of the component nor be cut inside one.
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < executableBaseName.size();) {
    starts.push_back(i);
    DecodeUtf8(executableBaseName, i);
  }
  if (starts.size() < kSuffixLength) return std::nullopt;
  return executableBaseName.substr(0, starts[starts.size() - kSuffixLength]);
}

void RequireComponentName(const RunState& run) {
  const std::string& name = run.process.executableBaseName;
  if (!run.component.empty()) return;
  ReportFault("The executable's name '" + name + "' cannot name a component: expected the " +
              "component's name followed by a seven-character suffix, e.g. 'Widget_Config'.");
  EndProgram(1);
}

std::string GetOCXName(const RunState& run) {
  Procedure proc("GetOCXName");
  std::string name;
  proc.Step([&] {
    if (run.component.empty()) {
      Raise(failure_number::kInvalidArgument,
            "The executable's name '" + run.process.executableBaseName +
                "' is shorter than seven characters and names no component");
    }
    name = run.component;
  });
  return name;
}

std::string GetPathOCXMDB(const RunState& run) {
  Procedure proc("GetPathOCXMDB");
  std::string path;
  proc.Step([&] { path = ComponentFile(run, ".mdb"); });
  return path;
}

std::string GetPathSourceOCXMDB(const RunState& run) {
  Procedure proc("GetPathSourceOCXMDB");
  std::string path;
  proc.Step([&] { path = ComponentFile(run, "_Source.mdb"); });
  return path;
}

std::string GetZORConfigurationIniPath(const RunState& run) {
  Procedure proc("GetZORConfigurationIniPath");
  std::string path;
  proc.Step([&] {
    path = ExistingOrEmpty(run.baseFolder + Sep() + "parameter" + Sep() + "zorconfiguration.ini");
  });
  return path;
}

std::string GetCFGPath(const RunState& run) {
  Procedure proc("GetCFGPath");
  std::string path;
  proc.Step([&] {
    path = ComponentFile(run, ".cfg");
    if (FileExists(path)) return;
    ReportFault(std::string("File not found: ") + kLfCr + UpperCase(path));
    EndProgram(1);
  });
  return path;
}

std::string GetPathMachineCopyMDB(const RunState& run) {
  Procedure proc("GetPathMachineCopyMDB");
  std::string path;
  proc.Step([&] {
    path = InFolder(SaveAndRestoreFolder(run.configurationIni),
                    run.component + Sep() + run.component + ".mdb");
    path = ExistingOrEmpty(path);
  });
  return path;
}

std::string ProgramIniWritePath(const RunState& run) {
  return run.baseFolder + Sep() + "parameter" + Sep() + "Program.ini";
}

std::string GetProgramIniPathForReading(const RunState& run) {
  Procedure proc("GetProgramIniPath");
  std::string path;
  proc.Step([&] {
    path = run.mode.integrated ? InFolder(SaveAndRestoreFolder(run.configurationIni),
                                          "parameter" + Sep() + "program.ini")
                               : ProgramIniWritePath(run);
    path = ExistingOrEmpty(path);
  });
  return path;
}

std::string GetProgramIniPathForWriting(const RunState& run) {
  Procedure proc("GetProgramIniPath");
  std::string path;
  proc.Step([&] { path = ExistingOrEmpty(ProgramIniWritePath(run)); });
  return path;
}

std::string GetFileNameOnly(const std::string& path) {
  Procedure proc("GetFileNameOnly");
  std::string name;
  proc.Step([&] { name = FileNameOf(path); });
  return name;
}

std::string ExecutablePathForMessages(const RunState& run) {
  return JoinPath(run.process.executableFolder, run.process.executableFileName);
}

}  // namespace velnor
