// The Jet tests start this executable again as the converter, as the tool starts its
// own: it answers the converter's option before it runs any test.
#include <gtest/gtest.h>

#include "projectdb/jet/jet_reader.h"

int main(int argc, char** argv) {
  if (const auto status = velnor::jet::RunJetConverterIfAsked(argc, argv)) return *status;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
