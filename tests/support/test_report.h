#pragma once
// The failure report of a test project's tool: its error log in the project's base
// folder, its boxes titled with its name.
#include "errors/error_report.h"
#include "support/test_project.h"

namespace velnor::test {

class TestReport : public ReportScope {
 public:
  explicit TestReport(const TestProject& project, bool silent = false)
      : ReportScope({silent, project.component() + "_Config", project.component(),
                     project.errorLog().string(), project.errorLog().string()}) {}
};

}  // namespace velnor::test
