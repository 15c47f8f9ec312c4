#include "settings/ini_access.h"

#include <charconv>
#include <optional>
#include <system_error>
#include <type_traits>

#include "errors/error_report.h"
#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "settings/profile.h"

namespace velnor {
namespace {

// The read buffer and default of every text read: a value of at most 254 characters
// comes back, and the all-blank default comes back empty.
constexpr std::size_t kReadBufferSize = 255;
const std::string& BlankDefault() {
  static const std::string blanks(kReadBufferSize, ' ');
  return blanks;
}

// A buffer that holds any value.
constexpr std::size_t kWholeValue = static_cast<std::size_t>(-1);

constexpr std::int32_t kMissingInteger = -1;

std::string MissingEntryMessage(const std::string& section, const std::string& key,
                                const std::string& file) {
  return "File '" + file + "' or Section [" + section + "] or Entry '" + key + "' not found";
}

// The shortest text that reads back as the same number, "." as decimal point, whatever
// the locale.
template <class Number>
std::string NumberText(Number number) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, number);
  if (error != std::errc()) Raise(failure_number::kOverflow, "Ini Save: number cannot be written");
  return std::string(buffer, end);
}

// The text SaveIni writes for a value; nothing for a kind it cannot write.
std::optional<std::string> IniText(const IniValue& value) {
  return std::visit(
      [](const auto& v) -> std::optional<std::string> {
        using Kind = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<Kind, std::monostate>) {
          return std::nullopt;
        } else if constexpr (std::is_same_v<Kind, std::string>) {
          return v;
        } else if constexpr (std::is_same_v<Kind, bool>) {
          return std::string(v ? "true" : "false");
        } else if constexpr (std::is_same_v<Kind, std::uint8_t>) {
          return NumberText(static_cast<unsigned>(v));  // a number, never a character
        } else {
          return NumberText(v);
        }
      },
      value);
}

}  // namespace

std::string LoadIniString(const std::string& section, const std::string& key,
                          const std::string& file, bool /*modeFlag*/, bool reportFlag) {
  Procedure proc("LoadIniString");
  ProfileText read;
  proc.Step([&] {
    read = ReadProfileText(section, key, BlankDefault(), kWholeValue, file);
    if (read.count < kReadBufferSize) return;
    LogFailure(failure_number::kOverflow,
               "Entry '" + key + "' of section [" + section + "] in '" + file + "' holds " +
                   std::to_string(read.count) + " characters; only the first " +
                   std::to_string(kReadBufferSize - 1) + " are read",
               "LoadIniString");
    read = ReadProfileText(section, key, BlankDefault(), kReadBufferSize, file);
  });
  proc.Step([&] {
    if (read.count == 0 && reportFlag) ReportFault(MissingEntryMessage(section, key, file));
  });
  return read.text;
}

std::string LoadIniWholeString(const std::string& section, const std::string& key,
                               const std::string& file) {
  Procedure proc("LoadIniWholeString");
  std::string text;
  proc.Step([&] { text = ReadProfileText(section, key, "", kWholeValue, file).text; });
  return text;
}

std::int16_t LoadIniInteger(const std::string& section, const std::string& key,
                            const std::string& file, bool /*modeFlag*/, bool reportFlag) {
  Procedure proc("LoadIniInteger");
  std::int32_t stored = kMissingInteger;
  std::int16_t result = 0;
  proc.Step([&] { stored = ReadProfileInteger(section, key, kMissingInteger, file); });
  proc.Step([&] {
    if (stored < -32768 || stored > 32767) {
      Raise(failure_number::kOverflow, "Overflow: entry '" + key + "' of section [" + section +
                                           "] in '" + file + "' holds " + std::to_string(stored) +
                                           ", outside -32768 to 32767");
    }
    result = static_cast<std::int16_t>(stored);
  });
  proc.Step([&] {
    if (result == kMissingInteger && reportFlag) {
      ReportFault(MissingEntryMessage(section, key, file));
    }
  });
  return result;
}

bool LoadIniBoolean(const std::string& section, const std::string& key, const std::string& file,
                    bool /*modeFlag*/, bool reportFlag) {
  Procedure proc("LoadIniBoolean");
  ProfileText read;
  std::string upper;
  proc.Step([&] {
    read = ReadProfileText(section, key, BlankDefault(), kReadBufferSize, file);
    upper = UpperCase(read.text);
  });
  proc.Step([&] {
    if (reportFlag && (read.count == 0 || (upper != "TRUE" && upper != "FALSE"))) {
      ReportFault(MissingEntryMessage(section, key, file));
    }
  });
  return upper == "TRUE";
}

std::int16_t SaveIni(const IniValue& value, const std::string& section, const std::string& key,
                     const std::string& file) {
  Procedure proc("SaveIni");
  std::optional<std::string> text;
  std::int16_t result = 0;
  proc.Step([&] {
    text = IniText(value);
    if (!text) ReportFault("Ini Save:  wrong data type");
  });
  // A value of a kind that cannot be written leaves the stored one as it is, rather
  // than removing the key.
  if (!text) return result;
  proc.Step([&] {
    const IoResult written = WriteProfileText(section, key, *text, file);
    // The callers go on without the value and show nothing; the reason is logged.
    if (!written) LogFailure(failure_number::kFileAccessError, written.error, "SaveIni");
    result = written ? 1 : 0;
  });
  return result;
}

std::vector<std::string> SaveIniEntries(const std::vector<ProfileEntry>& entries,
                                        const std::string& file,
                                        const BeforeReplacing& beforeReplacing) {
  std::vector<ProfileRefusal> refused;
  std::vector<std::string> unwritten;
  if (!WriteProfileEntries(entries, file, refused, beforeReplacing)) {
    for (const ProfileEntry& entry : entries) unwritten.push_back(entry.key);
    return unwritten;
  }
  for (const ProfileRefusal& refusal : refused) unwritten.push_back(refusal.key);
  return unwritten;
}

}  // namespace velnor
