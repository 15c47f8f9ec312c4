#pragma once
// Every file the tool touches is found by a fixed rule from where its executable lies
// and what it is called: the executable lies one folder below the base folder and is
// named after its component plus a seven-character suffix ("Widget_Config").
#include <optional>
#include <string>

#include "app/run_state.h"

namespace velnor {

// The parent of the executable's folder, without a trailing separator.
std::string BaseFolderOf(const std::string& executableFolder);

// The component name, or nothing when the base name is shorter than seven characters.
std::optional<std::string> ComponentNameOf(const std::string& executableBaseName);
// The run's component name (worked out by StartRun); a failure when the executable's
// name names none.
std::string GetOCXName(const RunState& run);
// Reports an executable name that names no component and ends the program (exit
// status 1); returns when the run has its component.
void RequireComponentName(const RunState& run);

std::string GetPathOCXMDB(const RunState& run);
std::string GetPathSourceOCXMDB(const RunState& run);
std::string GetZORConfigurationIniPath(const RunState& run);
// Does not return when the ".cfg" file is missing.
std::string GetCFGPath(const RunState& run);
// The machine copy in the save-and-restore folder that the configuration INI file names.
std::string GetPathMachineCopyMDB(const RunState& run);
// Where "program.ini" is read: integrated, in the save-and-restore folder that the
// configuration INI file names; otherwise where it is written. "" when it is missing.
std::string GetProgramIniPathForReading(const RunState& run);
// Where "program.ini" is written, integrated too: the project's own; "" when missing.
std::string GetProgramIniPathForWriting(const RunState& run);
// The path of the project's own "program.ini", whether it exists or not: where a run
// that writes it creates it.
std::string ProgramIniWritePath(const RunState& run);
std::string GetFileNameOnly(const std::string& path);

// The executable's full path as messages name it: folder + separator + file name.
std::string ExecutablePathForMessages(const RunState& run);

}  // namespace velnor
