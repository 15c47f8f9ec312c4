#include "settings/ini_encoding.h"

#include <utility>

#include "platform/encoding.h"

namespace velnor {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

// Whether the file's first line that holds text is UTF-16 text of characters below
// U+0100 in that byte order: each pair of bytes a character byte and a NUL. Windows' own
// functions take a file without byte-order mark for UTF-16 by a statistical guess over
// the whole file; this test is narrower on purpose. A Windows-1252 settings file has no
// NUL in it, so no such file is taken for UTF-16, and the files that tools write without
// mark (a section header or a comment first) are recognised. A UTF-16 file whose first
// line holds a character from U+0100 on is read as Windows-1252, as before. Writes never
// change that line, so a file keeps its encoding.
bool FirstLineLooksLikeUtf16(std::string_view bytes, bool bigEndian) {
  bool text = false;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    const char character = bigEndian ? bytes[at + 1] : bytes[at];
    const char nul = bigEndian ? bytes[at] : bytes[at + 1];
    if (character == '\0' || nul != '\0') return false;
    const bool lineBreak = character == '\n' || character == '\r';
    if (lineBreak && text) return true;
    text = text || !lineBreak;
  }
  return text;
}

std::string MarkOf(const IniForm& form) {
  if (!form.byteOrderMark) return {};
  switch (form.encoding) {
    case IniEncoding::kUtf8:
      return std::string(kUtf8Mark);
    case IniEncoding::kUtf16Le:
      return std::string(kUtf16LeMark);
    case IniEncoding::kUtf16Be:
      return std::string(kUtf16BeMark);
    case IniEncoding::kWindows1252:
      break;
  }
  return {};
}

IniForm FormOf(std::string_view bytes) {
  if (StartsWith(bytes, kUtf8Mark)) return {IniEncoding::kUtf8, true};
  if (StartsWith(bytes, kUtf16LeMark)) return {IniEncoding::kUtf16Le, true};
  if (StartsWith(bytes, kUtf16BeMark)) return {IniEncoding::kUtf16Be, true};
  if (FirstLineLooksLikeUtf16(bytes, false)) return {IniEncoding::kUtf16Le, false};
  if (FirstLineLooksLikeUtf16(bytes, true)) return {IniEncoding::kUtf16Be, false};
  return {};
}

}  // namespace

std::string EncodingName(const IniForm& form) {
  switch (form.encoding) {
    case IniEncoding::kUtf8:
      return "UTF-8";
    case IniEncoding::kUtf16Le:
      return "UTF-16 LE";
    case IniEncoding::kUtf16Be:
      return "UTF-16 BE";
    case IniEncoding::kWindows1252:
      break;
  }
  return "Windows-1252";
}

IniFileText DecodeIniFile(std::string bytes) {
  IniFileText decoded;
  decoded.form = FormOf(bytes);
  const std::size_t markSize = MarkOf(decoded.form).size();
  switch (decoded.form.encoding) {
    case IniEncoding::kWindows1252:
    case IniEncoding::kUtf8:
      bytes.erase(0, markSize);
      decoded.text = std::move(bytes);
      break;
    case IniEncoding::kUtf16Le:
    case IniEncoding::kUtf16Be: {
      std::size_t fault = std::string_view::npos;
      decoded.text = Utf16ToUtf8(std::string_view(bytes).substr(markSize),
                                 decoded.form.encoding == IniEncoding::kUtf16Be, &fault);
      if (fault != std::string_view::npos) decoded.undecodable = markSize + fault;
      break;
    }
  }
  return decoded;
}

std::string EncodeIniFile(const IniForm& form, std::string text) {
  switch (form.encoding) {
    case IniEncoding::kWindows1252:
    case IniEncoding::kUtf8:
      return form.byteOrderMark ? MarkOf(form) + text : std::move(text);
    case IniEncoding::kUtf16Le:
    case IniEncoding::kUtf16Be:
      break;
  }
  return MarkOf(form) + Utf8ToUtf16(text, form.encoding == IniEncoding::kUtf16Be);
}

std::string ToLineText(const IniForm& form, std::string_view utf8) {
  return form.unicode() ? std::string(utf8) : Utf8ToCp1252(utf8);
}

std::string FromLineText(const IniForm& form, std::string_view text) {
  return form.unicode() ? std::string(text) : Cp1252ToUtf8(text);
}

std::string FoldedName(const IniForm& form, std::string_view name) {
  if (form.unicode()) return UpperCase(name);
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(UpperCp1252(static_cast<unsigned char>(c)));
  return folded;
}

}  // namespace velnor
