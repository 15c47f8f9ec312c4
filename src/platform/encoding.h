#pragma once
// Text on disk is Windows-1252; the program works in UTF-8. Upper-casing and
// case-insensitive comparison follow the letters of Windows-1252 (so "ü" and "Ü" are
// one letter), as the original platform's did.
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// Characters that Windows-1252 cannot hold become "?".
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);

// UTF-16 text (without its byte-order mark) as UTF-8. What is no UTF-16 (a surrogate
// without its partner, a last odd byte) becomes U+FFFD, and firstFault, when given, is
// set to the byte position of the first such unit (npos when there is none).
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::size_t* firstFault = nullptr);
// UTF-8 text as UTF-16. A byte that is no UTF-8 is taken for the Windows-1252 character
// it is, as Utf8ToCp1252 keeps it; a surrogate spelled out in UTF-8 becomes U+FFFD.
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// Upper case of a UTF-8 text by Windows-1252 rules. Every letter keeps its byte
// length, so byte positions found in the upper-cased copy hold in the original too.
std::string UpperCase(std::string_view utf8);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Byte position of the first occurrence of needle in text, ignoring case; npos if none.
std::size_t FindIgnoringCase(std::string_view text, std::string_view needle);

// Upper case of one Windows-1252 byte.
unsigned char UpperCp1252(unsigned char c);

// The texts one after the other, the separator between each two.
std::string Join(const std::vector<std::string>& texts, std::string_view separator);

// The text as a JSON string, quotes included: quotes, backslashes and control
// characters escaped, characters beyond ASCII kept as UTF-8, and a byte that starts no
// UTF-8 character (a file name of another encoding) written as U+FFFD, so that every
// parser reads the result.
std::string JsonString(std::string_view utf8);

// The text without the given characters at either end: by default blanks, tabs and the
// other white space that may stand around a name or value (a carriage return too, so
// that a name handed in with a stray one at its end still finds its entry).
inline constexpr std::string_view kWhiteSpace = " \t\r\v\f";
std::string_view Trim(std::string_view text, std::string_view blanks = kWhiteSpace);

// Code points of the bytes that start no well-formed UTF-8 sequence: kStrayByte + the
// byte, above the Unicode range, so that a stray byte never equals a real character.
inline constexpr char32_t kStrayByte = 0x110000;

// Decodes the character at text[i] and moves i past it.
char32_t DecodeUtf8(std::string_view text, std::size_t& i);
// Appends a code point (not a stray byte) as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
// The upper case of a character by the letters of Windows-1252; every other character
// is its own upper case.
char32_t UpperCodePoint(char32_t cp);

}  // namespace velnor
