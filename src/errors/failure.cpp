#include "errors/failure.h"

#include <utility>

#include "errors/error_report.h"

namespace velnor {

Failure::Failure(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

std::string ProgramSource() {
  return CurrentReportContext().programName;
}

void Raise(std::int32_t number, const std::string& description) {
  throw Failure(number, ProgramSource(), description);
}

}  // namespace velnor
