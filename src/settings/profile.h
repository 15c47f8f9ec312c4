#pragma once
// The private-profile reader and writer: INI files as the original platform kept them.
//
// - Section and key names match without regard to case (letters of Windows-1252
//   included); blanks around names and values do not count.
// - Only the first section of a name counts, and in it the first key of a name.
// - A line whose first non-blank character is "[" opens a section, named by what follows
//   up to the first "]" or, without one, the end of the line.
// - A line whose first non-blank character is ";" is a comment; a line without "=" is
//   no key; keys before the first section belong to no section.
// - One pair of matching quotes around a whole value is removed on reading.
// - A write changes the one line it concerns (or adds one or two lines) and keeps every
//   other byte of the file; new lines end in CR LF, and so does a rewritten last line
//   that had no break.
//
// Texts are UTF-8 here and Windows-1252 on disk. A file that begins with a byte-order
// mark of UTF-8, UTF-16 LE or UTF-16 BE, or whose first line is UTF-16 without one, is
// read and written in that encoding and keeps its mark (settings/ini_encoding.h). Paths
// are found without regard to case. While a ProfileCache is in place, a file is taken
// apart once and read again only when it changed (settings/profile_cache.h).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"

namespace velnor {

struct ProfileText {
  std::string text;       // UTF-8
  std::size_t count = 0;  // characters copied, as the platform counted them (Windows-1252)
};

// The value of key in section of file, at most bufferSize - 1 characters. When file,
// section or key is missing: defaultText without its trailing blanks (also cut to
// bufferSize - 1). A key present with an empty value gives "" and count 0.
ProfileText ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& defaultText, std::size_t bufferSize,
                            const std::string& file);

// The leading number of the value (blanks, an optional sign, digits), taken modulo 2^32
// and read as signed 32-bit: "12abc" gives 12, "abc" gives 0. It is decimal unless a
// prefix "0x", "0b" or "0o" (either case) makes it hexadecimal, binary or octal: "0x1A"
// gives 26, "-0x10" -16, "012" 12, a prefix without a digit 0. The default only when
// the value is missing or empty.
std::int32_t ReadProfileInteger(const std::string& section, const std::string& key,
                                std::int32_t defaultValue, const std::string& file);

// Writes "key=value" into section of file, creating file, section and key as needed and
// replacing an existing value in place. The file is replaced atomically; a failure
// (missing or unwritable folder, unreadable or read-only file, a name that cannot be
// stored, a UTF-16 file with bytes that are no UTF-16) changes nothing on disk and says
// why.
IoResult WriteProfileText(const std::string& section, const std::string& key,
                          const std::string& value, const std::string& file);

// Asked before a project file is changed; false keeps it from being changed.
using BeforeReplacing = std::function<bool()>;

struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
};

// Every entry of the file that a read can find, in file order: the first section of a
// name and in it the first key of a name. Nothing when the file cannot be read.
std::vector<ProfileEntry> ReadProfileEntries(const std::string& file);

// An entry left out of a write, and why.
struct ProfileRefusal {
  std::string key;
  std::string why;
};

// Writes the entries into file as WriteProfileText would write them one after the other,
// in one replacement of the file: a crash leaves all of them or none. An entry that
// cannot be stored is left out and named in refused; the others are written.
// beforeReplacing, when given, is asked right before the file is changed (never when
// the entries leave it as it is); false leaves the file as it is and fails the write.
IoResult WriteProfileEntries(const std::vector<ProfileEntry>& entries, const std::string& file,
                             std::vector<ProfileRefusal>& refused,
                             const BeforeReplacing& beforeReplacing = {});

}  // namespace velnor
