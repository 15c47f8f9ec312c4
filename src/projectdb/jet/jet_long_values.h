#pragma once
// Memo and OLE values. The row holds 12 bytes: the length with two flags above it and
// the address (page * 256 + row) of the value's first piece. The value lies in the row
// after those bytes, in one row of its own, or in a chain of rows, each starting with
// the address of the next.
#include <string>

#include "projectdb/jet/jet_pages.h"

namespace velnor::jet {

// The stored bytes of the value, whole at any length.
std::string ReadLongValue(const JetFile& file, const Bytes& field);

}  // namespace velnor::jet
