#pragma once
// The run of a test project's tool, with its failure report in place.
#include <optional>
#include <string>

#include "app/run_state.h"
#include "support/test_project.h"

namespace velnor::test {

// The run as the tool would start it in the project; the files are found only when a
// test asks for it, so that a test can lay them out first.
class TestRun : public RunState {
 public:
  explicit TestRun(const TestProject& project, const std::string& commandLine = "");
  TestRun(const TestRun&) = delete;
  TestRun& operator=(const TestRun&) = delete;

  // Starts the run afresh with another command line (and a fresh report).
  void SetCommandLine(const std::string& commandLine);
  // Finds the settings files and machines, as the tool does after its start.
  void FindFiles() { FindRunFiles(*this); }

 private:
  const TestProject& project_;
  std::optional<ReportScope> report_;
};

}  // namespace velnor::test
