#include "settings/profile_cache.h"

#include <optional>
#include <utility>

#include "platform/paths.h"

namespace velnor {
namespace {

// The innermost cache in place; the caches themselves own what they hold.
ProfileCache* innermost = nullptr;

// Read afresh; nothing when the file cannot be read.
std::shared_ptr<const IniIndex> IndexOfFile(const std::string& path) {
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return nullptr;
  return std::make_shared<const IniIndex>(std::move(*bytes));
}

}  // namespace

ProfileCache::ProfileCache(std::function<FileTime()> now)
    : now_(std::move(now)), previous_(innermost) {
  innermost = this;
}

ProfileCache::~ProfileCache() {
  innermost = previous_;
}

std::shared_ptr<const IniIndex> ProfileCache::Entries(const std::string& file) {
  const std::string path = ResolvePath(file);
  // The moment is taken before the file is looked at: a write after it is one the
  // version may miss.
  const FileTime now = now_();
  const std::optional<FileVersion> version = VersionOfFile(path);
  if (!version) {
    files_.erase(path);
    return nullptr;
  }
  if (const auto known = files_.find(path); known != files_.end() &&
                                            known->second.version == *version &&
                                            !known->second.mayHaveChangedUnseen) {
    return known->second.entries;
  }
  // What was kept goes first, so that a large file is not held twice. The file is read
  // after its version was taken: a write in between makes the next version differ, so
  // the file is read again rather than kept with contents older than its version.
  files_.erase(path);
  std::shared_ptr<const IniIndex> entries = IndexOfFile(path);
  ++filesRead_;
  if (!entries) return nullptr;
  files_.emplace(path, Known{*version, entries, MayStillChangeUnseen(*version, now)});
  return entries;
}

void ProfileCache::Forget(const std::string& file) {
  files_.erase(ResolvePath(file));
}

std::shared_ptr<const IniIndex> ReadIniEntries(const std::string& file) {
  return innermost != nullptr ? innermost->Entries(file) : IndexOfFile(file);
}

void ForgetIniEntries(const std::string& file) {
  if (innermost != nullptr) innermost->Forget(file);
}

}  // namespace velnor
