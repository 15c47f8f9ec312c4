#pragma once
// The settings files a run has read, each indexed once and read again only when it
// changed on disk, as Windows keeps the settings file it read last in memory. Without
// it, every read of a setting reads and takes apart the whole file: a line of 8,000
// machines read Program.ini 16,000 times.
//
// The reads of profile.h are free functions that every layer above calls with nothing
// but a file name, so the cache is put in place for a stretch of the program, as the
// failure report's context is: the program's main holds one for the whole run, and
// while a ProfileCache lives, the reads go through it (the innermost one, when they
// nest). Outside every cache a read takes the file from disk, as before. One thread.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/file_version.h"
#include "settings/ini_index.h"

namespace velnor {

class ProfileCache {
 public:
  // now tells the moment of each read (the system's clock; another for tests).
  explicit ProfileCache(std::function<FileTime()> now = FileClockNow);
  ~ProfileCache();
  ProfileCache(const ProfileCache&) = delete;
  ProfileCache& operator=(const ProfileCache&) = delete;

  // The file's entries as the file lies on disk now; nothing when it is missing, no
  // regular file or cannot be read.
  std::shared_ptr<const IniIndex> Entries(const std::string& file);
  // Drops what is known of the file, so that the next read takes it from disk.
  void Forget(const std::string& file);
  // How often a file was taken from disk.
  int filesRead() const { return filesRead_; }

 private:
  struct Known {
    FileVersion version;
    std::shared_ptr<const IniIndex> entries;
    // Its times were too recent when it was read: a write after the read may have left
    // its version as it was, so the file is read again until they are not.
    bool mayHaveChangedUnseen = false;
  };
  std::map<std::string, Known> files_;  // by the path the file was found under
  std::function<FileTime()> now_;
  int filesRead_ = 0;
  ProfileCache* previous_;
};

// The file's entries: through the innermost cache, or read now when none is in place.
std::shared_ptr<const IniIndex> ReadIniEntries(const std::string& file);
// Said by every write: the innermost cache reads the file again next time.
void ForgetIniEntries(const std::string& file);

}  // namespace velnor
