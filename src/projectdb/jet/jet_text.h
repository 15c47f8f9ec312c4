#pragma once
// Texts as a Jet file stores them, as UTF-8: Jet 3 texts are Windows-1252 bytes; Jet 4
// texts are UTF-16 (little-endian), or, when they start with the bytes FF FE, compressed:
// runs of characters below U+0100 stored as one byte each, a 0 byte switching between
// such runs and runs of two-byte characters.
#include <string>
#include <string_view>

namespace velnor::jet {

std::string JetText(std::string_view stored, bool jet4);

}  // namespace velnor::jet
