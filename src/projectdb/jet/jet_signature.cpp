// An Access (Jet) file is known by its signature, never by its name.
#include <fstream>
#include <string_view>

#include "platform/fs_path.h"
#include "platform/paths.h"
#include "projectdb/jet/jet_conversion.h"

namespace velnor {
namespace {

constexpr std::string_view kSignature{"Standard Jet DB\0", 16};
constexpr std::size_t kSignatureOffset = 4;
constexpr std::size_t kVersionOffset = 0x14;

}  // namespace

bool HasJetSignature(std::string_view firstBytes) {
  if (firstBytes.size() <= kVersionOffset) return false;
  const auto version = static_cast<unsigned char>(firstBytes[kVersionOffset]);
  return firstBytes.substr(kSignatureOffset, kSignature.size()) == kSignature && version <= 1;
}

bool IsJetFile(const std::string& path) {
  std::ifstream in(FsPath(ResolvePath(path)), std::ios::binary);
  char head[kVersionOffset + 1] = {};
  in.read(head, sizeof head);
  return in.gcount() == static_cast<std::streamsize>(sizeof head) &&
         HasJetSignature(std::string_view(head, sizeof head));
}

}  // namespace velnor
