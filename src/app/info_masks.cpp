#include "app/info_masks.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "errors/failure.h"

namespace velnor {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Appends the digits from text[pos] on to number, moving pos past them; returns how
// many there were.
std::size_t TakeDigits(const std::string& text, std::size_t& pos, std::string& number) {
  const std::size_t first = pos;
  while (pos < text.size() && IsDigit(text[pos])) number += text[pos++];
  return pos - first;
}

// The exponent that starts at text[pos] ("e", "E", "d" or "D", a sign, digits) as
// from_chars reads it ("e-3"); "" when no digit follows.
std::string ExponentAt(const std::string& text, std::size_t pos) {
  if (pos >= text.size() ||
      (text[pos] != 'e' && text[pos] != 'E' && text[pos] != 'd' && text[pos] != 'D')) {
    return "";
  }
  std::string exponent = "e";
  ++pos;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) exponent += text[pos++];
  return TakeDigits(text, pos, exponent) > 0 ? exponent : "";
}

// The longest leading part of text that forms a decimal number, in a form from_chars
// reads: "-12.5e3" out of "-12.5e3xyz"; "" when text starts with no number.
std::string LeadingNumber(const std::string& text) {
  std::size_t pos = 0;
  std::string number;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    if (text[pos] == '-') number += '-';
    ++pos;
  }
  std::size_t digits = TakeDigits(text, pos, number);
  if (pos < text.size() && text[pos] == '.') {
    number += text[pos++];
    digits += TakeDigits(text, pos, number);
  }
  if (digits == 0) return "";
  return number + ExponentAt(text, pos);
}

int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

std::string ButtonKey(int key) {
  return "Button" + std::to_string(key);
}

std::string StandardWarningKey(int key) {
  return "StandardWarning" + std::to_string(key);
}

std::string MachineWarningKey(const std::string& machine, int key) {
  return "MachineWarning_" + machine + "_" + std::to_string(key);
}

int ChoiceNumber(int machine, int key, int bit) {
  return machine * 100 + (key - 1) * kBitsPerMask + bit + 1;
}

MaskPlace PlaceOfWarning(int number) {
  const int machine = number > 99 ? number / 100 : 0;
  const int rest = number - machine * 100;
  const int key = FloorDiv(rest - 1, kBitsPerMask) + 1;
  return {machine, key, rest - (key - 1) * kBitsPerMask - 1};
}

bool ButtonChoiceStorable(int number) {
  return number >= 1 && number <= kButtonKeys * kBitsPerMask;
}

bool WarningChoiceStorable(int number) {
  if (number < 1) return false;
  const MaskPlace place = PlaceOfWarning(number);
  if (place.machine == 0) return place.key <= kStandardWarningKeys;
  return place.machine <= kSavedMachines && place.key <= kMachineWarningKeys;
}

std::int32_t MaskFromText(std::string_view text) {
  std::string compact;
  for (const char c : text) {
    if (!IsBlank(c)) compact += c;
  }
  const std::string number = LeadingNumber(compact);
  if (number.empty()) return 0;

  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  // A number too small to hold is zero, not an overflow.
  if (error == std::errc::result_out_of_range && number.find("e-") != std::string::npos) {
    value = 0;
    error = std::errc();
  }
  const double rounded = std::nearbyint(value);  // the default rounding mode: half to even
  if (error != std::errc() || end != number.data() + number.size() ||
      !(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    Raise(failure_number::kOverflow,
          "The value '" + std::string(text) + "' lies outside the range of a 32-bit number");
  }
  return static_cast<std::int32_t>(rounded);
}

}  // namespace velnor
