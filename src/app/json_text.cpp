#include "app/json_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace velnor {

std::string JsonNumber(double number) {
  if (!std::isfinite(number)) return "null";
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), number);
  return std::string(buffer.data(), result.ptr);
}

std::string JsonNumber(std::int64_t number) {
  return std::to_string(number);
}

}  // namespace velnor
