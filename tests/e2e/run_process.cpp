#include "run_process.h"

#include <fstream>
#include <sstream>

namespace velnor::e2e {

std::string RunResult::Describe() const {
  std::ostringstream text;
  text << (timedOut ? "timed out" : "exit status " + std::to_string(exitStatus)) << " after "
       << took.count() << " ms\n--- stdout\n"
       << out << "--- stderr\n"
       << err;
  return text.str();
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace velnor::e2e
