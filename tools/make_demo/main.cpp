// velnor_make_demo: writes a demo panel project for the tool, and tells what a run of
// the tool changed in it.
#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "demo_project.h"
#include "platform/fs_path.h"
#include "platform/process.h"
#include "summary.h"

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  velnor_make_demo <folder> <Velnor_Config executable> [--machines N] [--rows N]\n"
    "                  [--first-machine NAME]\n"
    "      writes a demo panel project into <folder> (new, empty, or an earlier demo\n"
    "      project) with the executable copied to <folder>/Config/Widget_Config (its\n"
    "      extension kept: Widget_Config.exe on Windows).\n"
    "      --machines: machines of the line, 0 to 7 (default 3)\n"
    "      --rows: template rows of Source_PRESET_DEFS, 0 to 30000 (default 300)\n"
    "      --first-machine: the first machine's name (default Filler)\n"
    "  velnor_make_demo --snapshot <folder>\n"
    "      remembers the project's files, to summarise the next run against them\n"
    "      (writing the project takes this snapshot itself).\n"
    "  velnor_make_demo --summarize <folder> <exit-status>\n"
    "      prints what the run since the snapshot changed.\n";

std::optional<int> ParseNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int UsageError(const std::string& message) {
  std::cerr << "velnor_make_demo: " << message << "\n" << kUsage;
  return 64;  // EX_USAGE
}

int Run(const std::vector<std::string>& arguments) {
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  if (!args.empty() && args[0] == "--snapshot") {
    if (args.size() != 2) return UsageError("--snapshot takes the project folder");
    velnor::demo::TakeSnapshot(velnor::FsPath(args[1]));
    return 0;
  }
  if (!args.empty() && args[0] == "--summarize") {
    if (args.size() != 3) return UsageError("--summarize takes the project folder and a status");
    const auto status = ParseNumber(args[2]);
    if (!status) return UsageError("the exit status must be a number: " + std::string(args[2]));
    std::cout << velnor::demo::Summarize(velnor::FsPath(args[1]), *status);
    return 0;
  }
  if (args.size() < 2 || args[0].starts_with("--") || args[1].starts_with("--")) {
    return UsageError("the folder and the executable are needed");
  }
  velnor::demo::DemoOptions options;
  for (std::size_t i = 2; i < args.size(); i += 2) {
    if (args[i] == "--first-machine" && i + 1 < args.size() && !args[i + 1].empty()) {
      options.firstMachine = std::string(args[i + 1]);
      continue;
    }
    if (args[i] == "--first-machine") return UsageError("--first-machine needs a name");
    if (i + 1 >= args.size()) return UsageError(std::string(args[i]) + " needs a number");
    const auto value = ParseNumber(args[i + 1]);
    if (!value) return UsageError(std::string(args[i]) + " needs a number");
    if (args[i] == "--machines") {
      options.machines = *value;
    } else if (args[i] == "--rows") {
      options.rows = *value;
    } else {
      return UsageError("unknown option " + std::string(args[i]));
    }
  }
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(std::filesystem::absolute(velnor::FsPath(args[0])));
  const auto contents = velnor::demo::WriteDemoProject(folder, velnor::FsPath(args[1]), options);
  std::cout << velnor::demo::DescribeDemo(folder, contents);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(velnor::ProgramArguments(argc, argv));
  } catch (const std::exception& e) {
    std::cerr << "velnor_make_demo: " << e.what() << "\n";
    return 1;
  }
}
