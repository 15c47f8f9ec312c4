#include "app/locations.h"

#include <vector>

#include "app/start_mode.h"
#include "errors/error_report.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

constexpr std::size_t kSuffixLength = 7;  // "_Config"

std::string Sep() {
  return std::string(1, kPathSeparator);
}

// base folder + separator + component + separator + component + suffix
std::string ComponentFile(const std::string& suffix) {
  const std::string component = GetOCXName();
  return BaseFolder() + Sep() + component + Sep() + component + suffix;
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
  return NativePath(LoadIniString("Common", "SaveAndRestore", configurationIniPath, true, false));
}

}  // namespace

std::string BaseFolderOf(const std::string& executableFolder) {
  std::string folder = executableFolder;
  while (!folder.empty() && !IsPathSeparator(folder.back())) folder.pop_back();
  if (!folder.empty()) folder.pop_back();
  return folder;
}

std::string BaseFolder() {
  return BaseFolderOf(Process().executableFolder);
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

std::string ComponentNameOrEmpty() {
  return ComponentNameOf(Process().executableBaseName).value_or("");
}

void RequireComponentName() {
  const std::string& name = Process().executableBaseName;
  if (ComponentNameOf(name)) return;
  ReportFault("The executable's name '" + name + "' cannot name a component: expected the " +
              "component's name followed by a seven-character suffix, e.g. 'Widget_Config'.");
  EndProgram(1);
}

std::string GetOCXName() {
  Procedure proc("GetOCXName");
  std::string name;
  proc.Step([&] {
    const auto component = ComponentNameOf(Process().executableBaseName);
    if (!component) {
      Raise(failure_number::kInvalidArgument,
            "The executable's name '" + Process().executableBaseName +
                "' is shorter than seven characters and names no component");
    }
    name = *component;
  });
  return name;
}

std::string GetPathOCXMDB() {
  Procedure proc("GetPathOCXMDB");
  std::string path;
  proc.Step([&] { path = ComponentFile(".mdb"); });
  return path;
}

std::string GetPathSourceOCXMDB() {
  Procedure proc("GetPathSourceOCXMDB");
  std::string path;
  proc.Step([&] { path = ComponentFile("_Source.mdb"); });
  return path;
}

std::string GetZORConfigurationIniPath() {
  Procedure proc("GetZORConfigurationIniPath");
  std::string path;
  proc.Step([&] {
    path = ExistingOrEmpty(BaseFolder() + Sep() + "parameter" + Sep() + "zorconfiguration.ini");
  });
  return path;
}

std::string GetCFGPath() {
  Procedure proc("GetCFGPath");
  std::string path;
  proc.Step([&] {
    path = ComponentFile(".cfg");
    if (FileExists(path)) return;
    ReportFault(std::string("File not found: ") + kLfCr + UpperCase(path));
    EndProgram(1);
  });
  return path;
}

std::string GetPathMachineCopyMDB(const std::string& configurationIniPath) {
  Procedure proc("GetPathMachineCopyMDB");
  std::string path;
  proc.Step([&] {
    const std::string component = GetOCXName();
    path = InFolder(SaveAndRestoreFolder(configurationIniPath),
                    component + Sep() + component + ".mdb");
    path = ExistingOrEmpty(path);
  });
  return path;
}

std::string GetProgramIniPath(std::int32_t mode) {
  Procedure proc("GetProgramIniPath");
  std::string path;
  proc.Step([&] {
    if (mode == 1 && IntegratedMode) {
      path = InFolder(SaveAndRestoreFolder(GetZORConfigurationIniPath()),
                      "parameter" + Sep() + "program.ini");
    } else {
      path = BaseFolder() + Sep() + "parameter" + Sep() + "Program.ini";
    }
    path = ExistingOrEmpty(path);
  });
  return path;
}

std::string GetFileNameOnly(const std::string& path) {
  Procedure proc("GetFileNameOnly");
  std::string name;
  proc.Step([&] { name = FileNameOf(path); });
  return name;
}

std::string ExecutablePathForMessages() {
  return JoinPath(Process().executableFolder, Process().executableFileName);
}

}  // namespace velnor
