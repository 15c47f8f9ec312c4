#include "support/test_run.h"

namespace velnor::test {

TestRun::TestRun(const TestProject& project, const std::string& commandLine) : project_(project) {
  SetCommandLine(commandLine);
}

void TestRun::SetCommandLine(const std::string& commandLine) {
  report_.reset();
  static_cast<RunState&>(*this) = StartRun(project_.Facts(commandLine));
  report_.emplace(ReportContextOf(*this));
}

}  // namespace velnor::test
