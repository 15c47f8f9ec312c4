#pragma once
#include "editor/slot_table.h"

namespace velnor {

// Writes the choices of the page as the bit-mask keys of section "Info" of
// "program.ini" at its writing location (creating the file there when it is missing),
// then stamps the component's ".cfg" file.
void WriteInputs(const SlotTable& table);

}  // namespace velnor
