#pragma once
// A run-time failure as the failure convention carries it into the report: number,
// source (who raised it) and description.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velnor {

// Failure numbers. The first group are the conventional numbers of the original
// runtime, used where the procedures meet the same situations; the rest are raised
// by this program's own layers.
namespace failure_number {
inline constexpr std::int32_t kInvalidArgument =
    5;  // e.g. an option key at the very end of the command line
inline constexpr std::int32_t kOverflow = 6;  // a number beyond its 16- or 32-bit range
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kSubscriptOutOfRange =
    9;  // a slot, machine or part outside its table
inline constexpr std::int32_t kTypeMismatch =
    13;  // a value of the wrong kind (null where a number is needed)
inline constexpr std::int32_t kInternalError = 51;  // an unexpected exception from a library
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kFileAccessError =
    75;  // a file whose times or contents cannot be changed as asked
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kInvalidPicture = 481;  // a picture file that cannot be loaded
inline constexpr std::int32_t kFileCopyFailed =
    3051;  // a database file that cannot be copied or replaced
inline constexpr std::int32_t kDatabaseFileNotFound = 3024;  // a database path where no file lies
inline constexpr std::int32_t kDatabaseReadOnly =
    3027;  // a database that cannot be written (permissions, medium)
inline constexpr std::int32_t kDatabaseLocked = 3260;   // a database kept busy by another program
inline constexpr std::int32_t kItemNotFound = 3265;     // a table or column that does not exist
inline constexpr std::int32_t kDatabaseError = 3000;    // any other failure of the database engine
inline constexpr std::int32_t kNotADatabase = 3343;     // a file that is not a database
inline constexpr std::int32_t kDatabaseDamaged = 3049;  // a database whose pages are damaged
inline constexpr std::int32_t kAbort = 9999;            // the takeover's deliberate aborts
}  // namespace failure_number

class Failure : public std::runtime_error {
 public:
  Failure(std::int32_t number, std::string source, std::string description);

  std::int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

// The source name of failures that the program itself raises: its executable name.
std::string ProgramSource();

// Raises a failure of the program itself.
[[noreturn]] void Raise(std::int32_t number, const std::string& description);

}  // namespace velnor
