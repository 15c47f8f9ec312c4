#include "projectdb/jet/jet_text.h"

#include "platform/encoding.h"

namespace velnor::jet {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit < 0xE000;
}

// UTF-16 code units as UTF-8; a surrogate without its partner becomes U+FFFD.
class Utf16Writer {
 public:
  void Add(char32_t unit) {
    if (pendingHigh_ != 0) {
      if (IsLowSurrogate(unit)) {
        AppendUtf8(out_, 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (unit - 0xDC00));
        pendingHigh_ = 0;
        return;
      }
      AppendUtf8(out_, kReplacement);
      pendingHigh_ = 0;
    }
    if (IsHighSurrogate(unit)) {
      pendingHigh_ = unit;
    } else {
      AppendUtf8(out_, IsLowSurrogate(unit) ? kReplacement : unit);
    }
  }
  std::string Finish() {
    if (pendingHigh_ != 0) AppendUtf8(out_, kReplacement);
    return std::move(out_);
  }

 private:
  std::string out_;
  char32_t pendingHigh_ = 0;
};

char32_t UnitAt(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) |
         static_cast<char32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

}  // namespace

std::string JetText(std::string_view stored, bool jet4) {
  if (!jet4) return Cp1252ToUtf8(stored);
  Utf16Writer text;
  if (stored.size() >= 2 && stored[0] == '\xFF' && stored[1] == '\xFE') {
    bool oneByte = true;
    for (std::size_t i = 2; i < stored.size();) {
      if (stored[i] == '\0') {
        oneByte = !oneByte;
        ++i;
      } else if (oneByte) {
        text.Add(static_cast<unsigned char>(stored[i++]));
      } else {
        if (i + 1 >= stored.size()) break;  // half a character at the end
        text.Add(UnitAt(stored, i));
        i += 2;
      }
    }
  } else {
    for (std::size_t i = 0; i + 1 < stored.size(); i += 2) text.Add(UnitAt(stored, i));
  }
  return text.Finish();
}

}  // namespace velnor::jet
