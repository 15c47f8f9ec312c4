// The INI reader and writer on a file made of the input's bytes. Entries named in the
// file are read before and after one write: the written entry reads back as written,
// every other keeps its value, the file keeps its encoding, and a refused write leaves
// the file as it was.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/encoding.h"
#include "settings/ini_encoding.h"
#include "settings/profile.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRoom = 1 << 20;  // more than any input, so no value is cut
constexpr std::size_t kMostEntries = 16;
const std::string kMissing = "\x01missing";

// One folder per process, so that parallel jobs never share the file.
class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "velnor-fuzz-profile-XXXXXX").string();
    VELNOR_FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const fs::path& FolderPath() {
  static const Folder folder;
  return folder.path();
}

void Store(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  VELNOR_FUZZ_CHECK(out.good());
}

std::optional<std::string> Load(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Entry {
  std::string section;
  std::string key;
};

// The section and key names the file spells out, rough as a person would read them: the
// probes need not be entries the reader finds, only names worth asking for.
std::vector<Entry> NamedEntries(std::string_view bytes, bool unicode) {
  std::vector<Entry> entries;
  std::optional<std::string> section;
  const auto text = [unicode](std::string_view name) {
    name = velnor::Trim(name);
    return unicode ? std::string(name) : velnor::Cp1252ToUtf8(name);
  };
  while (!bytes.empty() && entries.size() < kMostEntries) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
    const std::string_view line = velnor::Trim(bytes.substr(0, end));
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      section = text(line.substr(1, line.find(']') - 1));
    } else if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
      entries.push_back({section.value_or(""), text(line.substr(0, equals))});
    }
  }
  return entries;
}

bool SameEntry(const Entry& a, const Entry& b) {
  return velnor::EqualsIgnoringCase(velnor::Trim(a.section), velnor::Trim(b.section)) &&
         velnor::EqualsIgnoringCase(velnor::Trim(a.key), velnor::Trim(b.key));
}

std::string Read(const Entry& entry, const std::string& file) {
  return velnor::ReadProfileText(entry.section, entry.key, kMissing, kRoom, file).text;
}

// What a stored value reads back as: blanks around it and one pair of quotes go; in a
// Windows-1252 file a character it cannot hold is a "?", in a UTF-16 file text that is
// no UTF-8 is taken for Windows-1252.
std::string ReadBackAs(const std::string& value, const velnor::IniForm& form) {
  std::string stored = form.unicode() ? value : velnor::Utf8ToCp1252(value);
  if (form.encoding == velnor::IniEncoding::kUtf16Le ||
      form.encoding == velnor::IniEncoding::kUtf16Be) {
    stored = velnor::Utf16ToUtf8(velnor::Utf8ToUtf16(value, false), false);
  }
  std::string_view text = velnor::Trim(stored);
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front()) {
    text = text.substr(1, text.size() - 2);
  }
  return form.unicode() ? std::string(text) : velnor::Cp1252ToUtf8(text);
}

bool SameForm(const velnor::IniForm& a, const velnor::IniForm& b) {
  return a.encoding == b.encoding && a.byteOrderMark == b.byteOrderMark;
}

std::uint64_t Hash(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const fs::path path = FolderPath() / "fuzz.ini";
  const std::string file = path.string();
  const std::string otherCaseFile = (FolderPath() / "FUZZ.INI").string();
  // An empty input stands for a missing file, which a write creates.
  std::error_code ignored;
  fs::remove(path, ignored);
  if (!bytes.empty()) Store(path, bytes);
  const velnor::IniFileText decoded = velnor::DecodeIniFile(std::string(bytes));
  const velnor::IniForm form = decoded.form;

  std::vector<Entry> entries = NamedEntries(decoded.text, form.unicode());
  std::uint64_t choice = Hash(bytes);
  const auto pick = [&choice](std::size_t count) {
    const std::size_t picked = static_cast<std::size_t>(choice % count);
    choice /= count;
    return picked;
  };

  std::vector<std::string> before;
  for (const Entry& entry : entries) {
    before.push_back(Read(entry, file));
    VELNOR_FUZZ_CHECK(Read(entry, otherCaseFile) == before.back());
    // A small buffer holds the start of the value, counted in characters.
    const std::size_t room = pick(8);
    const velnor::ProfileText cut =
        velnor::ReadProfileText(entry.section, entry.key, kMissing, room, file);
    VELNOR_FUZZ_CHECK(before.back().compare(0, cut.text.size(), cut.text) == 0);
    VELNOR_FUZZ_CHECK(cut.count <= (room == 0 ? 0 : room - 1));
    velnor::ReadProfileInteger(entry.section, entry.key, 0, file);
  }

  // The entry written: one the file names, a new key in a named section, or a new
  // section; the value is a piece of the input or a plain word.
  Entry written{"Fuzz", "Key"};
  if (!entries.empty()) {
    const Entry& named = entries[pick(entries.size())];
    switch (pick(3)) {
      case 0:
        written = named;
        break;
      case 1:
        written = {named.section, "NewKey"};
        break;
      default:
        break;
    }
  }
  std::string value = "value";
  if (const std::string_view text = decoded.text; pick(2) == 0 && !text.empty()) {
    const std::size_t start = pick(text.size());
    const std::string_view piece = text.substr(start, pick(24));
    value = form.unicode() ? std::string(piece) : velnor::Cp1252ToUtf8(piece);
  }

  const std::optional<std::string> original = Load(path);
  const velnor::IoResult result =
      velnor::WriteProfileText(written.section, written.key, value, file);
  const std::optional<std::string> updated = Load(path);
  if (!result) {
    VELNOR_FUZZ_CHECK(!result.error.empty());
    VELNOR_FUZZ_CHECK(updated == original);
    return 0;
  }
  VELNOR_FUZZ_CHECK(updated.has_value());
  VELNOR_FUZZ_CHECK(SameForm(velnor::DecodeIniFile(*updated).form, form));
  VELNOR_FUZZ_CHECK(Read(written, file) == ReadBackAs(value, form));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!SameEntry(entries[i], written)) VELNOR_FUZZ_CHECK(Read(entries[i], file) == before[i]);
  }

  // A number written reads back as that number.
  const auto number = static_cast<std::int32_t>(static_cast<std::uint32_t>(pick(1ull << 32)));
  VELNOR_FUZZ_CHECK(
      velnor::WriteProfileText(written.section, written.key, std::to_string(number), file));
  VELNOR_FUZZ_CHECK(velnor::ReadProfileInteger(written.section, written.key, 0, file) == number);
  return 0;
}
