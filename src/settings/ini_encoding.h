#pragma once
// How a settings file stores its text. Settings files are Windows-1252; Windows' own
// settings functions also read and write files in UTF-16 and UTF-8 that an editor saved
// so ("Save as Unicode"), and such a file keeps its encoding and its byte-order mark.
#include <string>
#include <string_view>

namespace velnor {

enum class IniEncoding { kWindows1252, kUtf8, kUtf16Le, kUtf16Be };

struct IniForm {
  IniEncoding encoding = IniEncoding::kWindows1252;
  bool byteOrderMark = false;

  // Whether the lines' text is UTF-8 rather than the file's own Windows-1252 bytes.
  bool unicode() const { return encoding != IniEncoding::kWindows1252; }
};

// A settings file's lines as one text: the file's own bytes for Windows-1252, else
// UTF-8; without the byte-order mark.
struct IniFileText {
  IniForm form;
  std::string text;
  // The byte position in the file of the first bytes that are no text of its encoding
  // (a surrogate without its partner, a last odd byte of UTF-16), npos when there are
  // none. Such a file is read as far as it decodes; written back, it would lose them.
  std::size_t undecodable = std::string_view::npos;
};

// "Windows-1252", "UTF-8", "UTF-16 LE" or "UTF-16 BE", for messages.
std::string EncodingName(const IniForm& form);

// The form by the byte-order mark. A file without one is UTF-16 when its first line
// that holds text looks like UTF-16: NUL in every second byte, and only there (see the
// .cpp).
// Both take their text over rather than copying it: settings files of tens of megabytes
// exist.
IniFileText DecodeIniFile(std::string bytes);
std::string EncodeIniFile(const IniForm& form, std::string text);

// The program's text (UTF-8) as the lines of a file of that form hold it, and back.
std::string ToLineText(const IniForm& form, std::string_view utf8);
std::string FromLineText(const IniForm& form, std::string_view text);

// A section or key name (in line text) as names are told apart: in upper case by the
// letters of Windows-1252. Two names are the same when their folded names are equal.
std::string FoldedName(const IniForm& form, std::string_view name);

}  // namespace velnor
