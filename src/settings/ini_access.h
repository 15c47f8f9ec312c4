#pragma once
// Single-value access to INI files: every read and write of a setting goes through
// these four procedures.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "settings/profile.h"

namespace velnor {

// The kinds of value SaveIni can be handed. std::monostate stands for every kind it
// cannot write (empty, null, a date, an object ...).
using IniValue = std::variant<std::monostate, std::string, std::int16_t, std::int32_t, float,
                              double, std::uint8_t, bool>;

// The last two arguments of the reads, named at the call sites: the mode flag has no
// influence; the report flag sends the missing-entry message to ReportFault.
inline constexpr bool kAnyMode = false;
inline constexpr bool kQuietIfMissing = false;
inline constexpr bool kReportMissing = true;

// The value, at most 254 characters; "" when file, section or key is missing.
// modeFlag has no influence; reportFlag sends the missing-entry message to ReportFault.
// A longer value is cut, and the cut is logged, since what follows from a value cut short
// would otherwise be a riddle.
std::string LoadIniString(const std::string& section, const std::string& key,
                          const std::string& file, bool modeFlag, bool reportFlag);

// The whole value, however long; "" when file, section or key is missing.
std::string LoadIniWholeString(const std::string& section, const std::string& key,
                               const std::string& file);

// The value as a 16-bit integer; -1 when missing or empty. A stored number outside
// -32768..32767 is an overflow failure (0 on continuing).
std::int16_t LoadIniInteger(const std::string& section, const std::string& key,
                            const std::string& file, bool modeFlag, bool reportFlag);

// True exactly when the value, upper-cased, is "TRUE".
bool LoadIniBoolean(const std::string& section, const std::string& key, const std::string& file,
                    bool modeFlag, bool reportFlag);

// Writes the value as text; nonzero on success, 0 when the file cannot be written (the
// callers go on without the value; the failure is logged and the run counts as one with
// failures). A value of a kind it cannot write is reported ("Ini Save:  wrong data
// type") and the stored value stays untouched.
std::int16_t SaveIni(const IniValue& value, const std::string& section, const std::string& key,
                     const std::string& file);
// Writes the entries in one replacement of the file, with the bytes that SaveIni would
// give writing them one after the other. Returns the keys that were not written: those
// that cannot be stored, or all when the file cannot be replaced. The caller reports
// them.
// beforeReplacing as WriteProfileEntries asks it.
std::vector<std::string> SaveIniEntries(const std::vector<ProfileEntry>& entries,
                                        const std::string& file,
                                        const BeforeReplacing& beforeReplacing = {});

inline std::int16_t SaveIni(const char* text, const std::string& section, const std::string& key,
                            const std::string& file) {
  return SaveIni(IniValue(std::string(text)), section, key, file);
}

}  // namespace velnor
