#pragma once
// JSON numbers for what the tool prints for parent programs, in their shortest exact
// form; strings are escaped by JsonString (platform/encoding.h).
#include <cstdint>
#include <string>

namespace velnor {

// The number in the shortest form that reads back as the same double; "null" for a
// value JSON cannot hold (infinite, not a number).
std::string JsonNumber(double number);
std::string JsonNumber(std::int64_t number);

}  // namespace velnor
