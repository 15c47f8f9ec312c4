#pragma once
// What the project database update must leave behind, computed from the generated
// databases alone: the template's rows for one machine, with the limits of the previous
// generation where a row has a counterpart there.
#include <string>

#include "demo_fixture.h"

namespace velnor::e2e {

struct ExpectedPresets {
  Table table;
  int takenOver = 0;     // rows whose limits come from the previous generation
  int fromTemplate = 0;  // rows without a counterpart, keeping the template's limits
};

// "PRESET_DEFS" as the update must leave it: one row per template row for machine, IDs
// from 1, texts with the machine put in, names composed in nameSystem (0 VisiWin32,
// 1 VisiWin Studio), and the limits of the previous row with the same machine type,
// name (in either naming system) and offset.
ExpectedPresets ExpectPresets(const fs::path& sourceDb, const Table& previous,
                              const std::string& machine, int nameSystem);

// Fails the test for each differing cell (at most ten reported).
void ExpectSameTable(const Table& actual, const Table& expected);

}  // namespace velnor::e2e
