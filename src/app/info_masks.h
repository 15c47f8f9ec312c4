#pragma once
// Choices stored as bit masks in section "Info" of "program.ini": a group of 16
// numbered choices is one decimal number whose bit j stands for number (K - 1) * 16 +
// j + 1 of key K. Warnings of machine m are numbered m * 100 + that number.
#include <cstdint>
#include <string>
#include <string_view>

namespace velnor {

inline constexpr int kBitsPerMask = 16;

// The keys of section "Info": "Button1".."Button6", "StandardWarning1".."StandardWarning3"
// and "MachineWarning_<machine>_1".."_2".
inline constexpr int kButtonKeys = 6;
inline constexpr int kStandardWarningKeys = 3;
inline constexpr int kMachineWarningKeys = 2;
// The machines whose warning choices have keys to be saved in.
inline constexpr int kSavedMachines = 5;

std::string ButtonKey(int key);
std::string StandardWarningKey(int key);
std::string MachineWarningKey(const std::string& machine, int key);

// The choice that bit j (0..15) of key K stands for; machine 0 for the info buttons and
// the line's own warnings.
int ChoiceNumber(int machine, int key, int bit);

// And back: where the bit of warning n of the line, or m * 100 + n of machine m, lies.
struct MaskPlace {
  int machine = 0;
  int key = 1;
  int bit = 0;
};
MaskPlace PlaceOfWarning(int number);

// Whether the choice of info button n, or of warning n of the line or m * 100 + n of
// machine m, has a bit in one of the keys above. The keys hold 96 info buttons and the
// warnings of the first kSavedMachines machines; a choice beyond them cannot be saved.
bool ButtonChoiceStorable(int number);
bool WarningChoiceStorable(int number);

// The stored text read as a number the way the settings were always read: blanks
// anywhere are ignored, then the leading decimal number (sign, digits, fraction,
// exponent) counts and the rest is ignored; "" or a text without a number gives 0.
// The number is rounded half to even to a 32-bit integer; beyond that range it fails
// with an overflow.
std::int32_t MaskFromText(std::string_view text);

// Whether bit j (0..15) of the mask is set.
inline bool MaskBit(std::int32_t mask, int bit) {
  return ((static_cast<std::uint32_t>(mask) >> bit) & 1U) != 0;
}

}  // namespace velnor
