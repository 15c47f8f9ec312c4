#pragma once
// What a run tells about its work as it goes, for a preview of it that must come true
// (--check): the preview is the run itself, made in a scratch copy of the project, and
// this is how it learns what the files alone do not show. Ordinary runs have none.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace velnor {

// A row of the previous generation whose limits no row of the new one takes. Values are
// JSON literals ("text", 12, 0.5, null), as the preview prints them.
struct DroppedLimits {
  std::string machineType;
  std::string varName;
  std::string offsetOrBitNo;
  std::array<std::string, 5> limits;  // abs_min, abs_max, min, max, pass
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // The takeover paired the previous rows with the new ones: carried rows of the new
  // generation got values of the previous one; dropped lists the previous rows that
  // found no partner.
  virtual void LimitsTakenOver(std::size_t carried, std::vector<DroppedLimits> dropped) = 0;
};

}  // namespace velnor
