#pragma once
// The component database's previous generation as one update sees it: a copy in
// memory, made when the update first needs it. The legacy column rename and the name
// conversion change what the takeover then reads, never the file, which keeps its
// previous generation whole until the new one replaces it.
#include <optional>
#include <string>
#include <utility>

#include "projectdb/database.h"

namespace velnor {

class PreviousGeneration {
 public:
  // path: the component database, "" when there is none.
  explicit PreviousGeneration(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  bool exists() const { return !path_.empty(); }

  // The copy; a file that cannot be copied fails at every call, as opening it would.
  db::Database& Copy() {
    if (!copy_) copy_.emplace(db::Database::OpenCopy(path_));
    return *copy_;
  }

 private:
  std::string path_;
  std::optional<db::Database> copy_;
};

}  // namespace velnor
