#include "picture_files.h"

#include <QImage>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace velnor::test {
namespace {

void Word(std::string& out, int value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

// LZW data that never compresses: every pixel is sent as its own 9-bit code, and a
// clear code well before the table would grow keeps the code size fixed.
std::string UncompressedLzw(const std::vector<std::uint8_t>& pixels) {
  constexpr int kClear = 256;
  constexpr int kEnd = 257;
  std::vector<std::uint8_t> bytes;
  std::uint32_t buffer = 0;
  int bits = 0;
  auto put = [&](int code) {
    buffer |= static_cast<std::uint32_t>(code) << bits;
    bits += 9;
    while (bits >= 8) {
      bytes.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
      buffer >>= 8;
      bits -= 8;
    }
  };
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (i % 100 == 0) put(kClear);
    put(pixels[i]);
  }
  put(kEnd);
  if (bits > 0) bytes.push_back(static_cast<std::uint8_t>(buffer & 0xFF));

  std::string blocks;
  for (std::size_t pos = 0; pos < bytes.size(); pos += 255) {
    const std::size_t size = std::min<std::size_t>(255, bytes.size() - pos);
    blocks += static_cast<char>(size);
    blocks.append(reinterpret_cast<const char*>(bytes.data() + pos), size);
  }
  return blocks + '\0';
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

void WriteGif(const std::filesystem::path& path, int width, int height, const QColor& color,
              int transparentRows) {
  std::string gif = "GIF89a";
  Word(gif, width);
  Word(gif, height);
  gif += static_cast<char>(0xF7);  // global colour table of 256 entries
  gif += '\0';
  gif += '\0';
  for (int entry = 0; entry < 256; ++entry) {
    const QColor shade = entry == 0 ? color : QColor(255, 255, 255);
    gif += static_cast<char>(shade.red());
    gif += static_cast<char>(shade.green());
    gif += static_cast<char>(shade.blue());
  }
  // Graphic control: index 1 is transparent.
  gif += "\x21\xF9\x04\x01";
  Word(gif, 0);
  gif += "\x01";
  gif += '\0';
  gif += ',';
  Word(gif, 0);
  Word(gif, 0);
  Word(gif, width);
  Word(gif, height);
  gif += '\0';
  gif += static_cast<char>(8);  // LZW minimum code size

  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(y < transparentRows ? 1 : 0);
  }
  gif += UncompressedLzw(pixels);
  gif += ';';
  WriteBytes(path, gif);
}

void WriteBmp(const std::filesystem::path& path, int width, int height, const QColor& color) {
  std::filesystem::create_directories(path.parent_path());
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  image.save(QString::fromStdString(path.string()), "BMP");
}

void WriteDamagedPicture(const std::filesystem::path& path) {
  WriteBytes(path, "this is no picture at all");
}

}  // namespace velnor::test
