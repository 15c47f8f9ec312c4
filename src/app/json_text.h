#pragma once
// JSON text for what the tool prints for parent programs: strings escaped, numbers in
// their shortest exact form. Texts are UTF-8 and are passed through as they are.
#include <cstdint>
#include <string>
#include <string_view>

namespace velnor {

// The text as a JSON string, in double quotes.
std::string JsonString(std::string_view text);
// The number in the shortest form that reads back as the same double; "null" for a
// value JSON cannot hold (infinite, not a number).
std::string JsonNumber(double number);
std::string JsonNumber(std::int64_t number);

}  // namespace velnor
