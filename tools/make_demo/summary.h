#pragma once
// What a run of the tool changed in a demo project: the generator keeps a copy of the
// files the tool may change, and the summary compares the project with that copy.
#include <filesystem>
#include <string>

namespace velnor::demo {

// Copies the files that a run may change into the project's ".demo-before" folder.
void TakeSnapshot(const std::filesystem::path& folder);

// A short, readable account of the changes since the snapshot and of the exit status.
std::string Summarize(const std::filesystem::path& folder, int exitStatus);

}  // namespace velnor::demo
