#pragma once
// Keeping a file's original contents under a new name beside it before the file is
// replaced, without ever overwriting a file that is already there.
#include <string>
#include <string_view>

namespace velnor {

struct KeptOriginal {
  bool ok = false;
  std::string path;   // the name the original is kept under
  std::string error;  // why it could not be kept, naming the file
};

// Keeps the file at path as path + suffix ("Widget.mdb.jet"); when that name is taken,
// as the first free of path + ".2" + suffix, ".3", and so on. The file at path stays
// as it is.
KeptOriginal KeepOriginalBeside(std::string_view path, std::string_view suffix);

}  // namespace velnor
