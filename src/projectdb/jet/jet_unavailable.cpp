// Builds without mdbtools (the Windows build, where the original platform reads its
// Access files itself) convert nothing: an Access file found where a database belongs
// is reported when it is opened, and kept.
#include <ostream>

#include "projectdb/jet/jet_conversion.h"
#include "projectdb/jet/jet_reader.h"

namespace velnor {

std::string ConvertIfJet(const std::string&, const JetConversionSettings&) {
  return "";
}

void ConvertJetDatabases(const RunState&, const JetConversionSettings&) {}

int ImportJetDatabases(const ProcessFacts&, std::ostream&, std::ostream& err) {
  err << "This build of the tool converts no Access (Jet) databases\n";
  return 1;
}

}  // namespace velnor

namespace velnor::jet {

// No converter process is ever started, so no command line asks for one.
std::optional<int> RunJetConverterIfAsked(int, char**) {
  return std::nullopt;
}

}  // namespace velnor::jet
