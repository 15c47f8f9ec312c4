#pragma once
// Path text: composing with the platform's separator, taking apart at either
// separator, and finding files without regard to case as the original platform did.
#include <string>
#include <string_view>
#include <unordered_set>

namespace velnor {

// The system's own separator of path components ("/", on Windows "\\").
extern const char kPathSeparator;

bool IsPathSeparator(char c);

// folder + separator + name; a folder that already ends in a separator gets none.
std::string JoinPath(std::string_view folder, std::string_view name);
// Everything before the last separator ("" when there is none).
std::string FolderOf(std::string_view path);
// Everything after the last separator (the whole text when there is none).
std::string FileNameOf(std::string_view path);
// The file name without its extension (the part from the last "." on).
std::string WithoutExtension(std::string_view fileName);
// A path that arrived as text (an INI value, a command-line option): every "\" and "/"
// becomes the platform's separator.
std::string NativePath(std::string_view text);

// The path of an existing file or folder whose components match path's without regard
// to case; components that do not exist are kept as composed, in the folder found.
// An exact match always wins over a case-insensitive one.
std::string ResolvePath(std::string_view path);

// True when path names an existing regular file (not a folder); "" never exists.
bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// The names in a folder, listed once. A look-up of a name that the folder does not hold
// lists the whole folder, to find the name in another case; asking this first spares
// that where many names are looked up in one folder (the pictures of thousands of
// machines).
class FolderListing {
 public:
  explicit FolderListing(std::string_view folder);
  // False when no entry of the folder, as listed, matches name without regard to case;
  // true otherwise, and when the folder could not be listed: FileExists has the last
  // word.
  bool MayHold(std::string_view name) const;

 private:
  bool listed_ = false;
  std::unordered_set<std::string> upperNames_;
};

}  // namespace velnor
