// Windows-1252 and UTF-8: every byte string survives the trip through UTF-8, upper-casing
// keeps byte lengths, and a case-insensitive search agrees with the comparison.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/encoding.h"

namespace {

using velnor::DecodeUtf8;
using velnor::EqualsIgnoringCase;
using velnor::FindIgnoringCase;
using velnor::UpperCase;

// The byte positions where a character starts, and the end.
std::vector<bool> CharacterStarts(std::string_view text) {
  std::vector<bool> starts(text.size() + 1, false);
  for (std::size_t i = 0; i < text.size();) {
    starts[i] = true;
    DecodeUtf8(text, i);
  }
  starts[text.size()] = true;
  return starts;
}

void CheckConversions(std::string_view bytes) {
  const std::string utf8 = velnor::Cp1252ToUtf8(bytes);
  VELNOR_FUZZ_CHECK(velnor::Utf8ToCp1252(utf8) == bytes);
  for (std::size_t i = 0; i < utf8.size();)
    VELNOR_FUZZ_CHECK(DecodeUtf8(utf8, i) < velnor::kStrayByte);

  // Both ways of upper-casing follow the same letters.
  std::string upperBytes;
  for (const char c : bytes) {
    upperBytes += static_cast<char>(velnor::UpperCp1252(static_cast<unsigned char>(c)));
  }
  VELNOR_FUZZ_CHECK(UpperCase(utf8) == velnor::Cp1252ToUtf8(upperBytes));
}

void CheckUpperCase(std::string_view text) {
  const std::string upper = UpperCase(text);
  VELNOR_FUZZ_CHECK(upper.size() == text.size());
  VELNOR_FUZZ_CHECK(UpperCase(upper) == upper);
  VELNOR_FUZZ_CHECK(EqualsIgnoringCase(text, upper));
}

// needle is found at the first position where it stands ignoring case, and what is found
// there equals it ignoring case. Only positions on character boundaries count as places
// where it stands: a needle of loose bytes need not be found inside a character.
void CheckFind(std::string_view text, std::string_view needle) {
  const std::size_t found = FindIgnoringCase(text, needle);
  if (found != std::string_view::npos) {
    VELNOR_FUZZ_CHECK(found <= text.size() && needle.size() <= text.size() - found);
    VELNOR_FUZZ_CHECK(EqualsIgnoringCase(text.substr(found, needle.size()), needle));
  }
  if (text.size() > 256) return;  // the search by hand below is quadratic
  const std::vector<bool> starts = CharacterStarts(text);
  for (std::size_t pos = 0; pos + needle.size() <= text.size(); ++pos) {
    if (!starts[pos] || !starts[pos + needle.size()]) continue;
    if (EqualsIgnoringCase(text.substr(pos, needle.size()), needle)) {
      VELNOR_FUZZ_CHECK(found != std::string_view::npos && found <= pos);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckConversions(bytes);
  CheckUpperCase(bytes);
  CheckUpperCase(velnor::Cp1252ToUtf8(bytes));
  if (bytes.empty()) return 0;

  // The first byte splits the rest into a needle and the text it is looked for in, and
  // picks a second needle out of the text itself.
  const auto pick = static_cast<unsigned char>(bytes.front());
  const std::string_view rest = bytes.substr(1);
  const std::size_t split = std::min<std::size_t>(pick % 16, rest.size());
  CheckFind(rest.substr(split), rest.substr(0, split));
  const std::size_t start = rest.size() * (pick / 16) / 16;
  CheckFind(rest, rest.substr(start, pick % 8));
  VELNOR_FUZZ_CHECK(EqualsIgnoringCase(rest.substr(0, split), rest.substr(split)) ==
                    EqualsIgnoringCase(rest.substr(split), rest.substr(0, split)));
  return 0;
}
