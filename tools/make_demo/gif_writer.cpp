#include "gif_writer.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace velnor::demo {
namespace {

struct Box {
  std::vector<QRgb> colours;  // one entry per pixel, so that busy colours weigh more
};

int Channel(QRgb c, int channel) {
  return channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c);
}

// The channel with the widest spread and that spread.
std::pair<int, int> WidestChannel(const Box& box) {
  int best = 0;
  int bestRange = -1;
  for (int channel = 0; channel < 3; ++channel) {
    int lo = 255;
    int hi = 0;
    for (QRgb c : box.colours) {
      lo = std::min(lo, Channel(c, channel));
      hi = std::max(hi, Channel(c, channel));
    }
    if (hi - lo > bestRange) {
      best = channel;
      bestRange = hi - lo;
    }
  }
  return {best, bestRange};
}

QRgb Average(const Box& box) {
  std::uint64_t r = 0, g = 0, b = 0;
  for (QRgb c : box.colours) {
    r += qRed(c);
    g += qGreen(c);
    b += qBlue(c);
  }
  const auto n = static_cast<std::uint64_t>(box.colours.size());
  return qRgb(static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
              static_cast<int>((b + n / 2) / n));
}

std::vector<QRgb> MedianCutPalette(std::vector<QRgb> pixels) {
  std::vector<Box> boxes{Box{std::move(pixels)}};
  while (boxes.size() < 256) {
    // Split the box whose colours spread widest; a box of one colour cannot be split.
    std::size_t widest = 0;
    int widestRange = 0;
    int widestChannel = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const auto [channel, range] = WidestChannel(boxes[i]);
      if (range > widestRange) {
        widest = i;
        widestRange = range;
        widestChannel = channel;
      }
    }
    if (widestRange == 0) break;
    auto& colours = boxes[widest].colours;
    std::sort(colours.begin(), colours.end(), [&](QRgb a, QRgb b) {
      return Channel(a, widestChannel) < Channel(b, widestChannel);
    });
    // Cut at the median, moved to a change of value so that one colour never ends up in
    // both halves.
    auto cut = colours.begin() + static_cast<std::ptrdiff_t>(colours.size() / 2);
    const int cutValue = Channel(*cut, widestChannel);
    while (cut != colours.begin() && Channel(*(cut - 1), widestChannel) == cutValue) --cut;
    if (cut == colours.begin()) {
      while (cut != colours.end() && Channel(*cut, widestChannel) == cutValue) ++cut;
    }
    Box upper{std::vector<QRgb>(cut, colours.end())};
    colours.erase(cut, colours.end());
    boxes.push_back(std::move(upper));
  }
  std::vector<QRgb> palette;
  palette.reserve(boxes.size());
  for (const Box& box : boxes) palette.push_back(Average(box));
  return palette;
}

int Nearest(const std::vector<QRgb>& palette, QRgb c) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const int dr = qRed(palette[i]) - qRed(c);
    const int dg = qGreen(palette[i]) - qGreen(c);
    const int db = qBlue(palette[i]) - qBlue(c);
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  }
  return best;
}

// Packs variable-width codes, least significant bit first, as GIF's LZW data wants them.
class CodeWriter {
 public:
  void Put(int code, int width) {
    buffer_ |= static_cast<std::uint32_t>(code) << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<char>(buffer_ & 0xFF));
      buffer_ >>= 8;
      bits_ -= 8;
    }
  }
  std::string Finish() {
    if (bits_ > 0) bytes_.push_back(static_cast<char>(buffer_ & 0xFF));
    buffer_ = 0;
    bits_ = 0;
    return std::move(bytes_);
  }

 private:
  std::string bytes_;
  std::uint32_t buffer_ = 0;
  int bits_ = 0;
};

constexpr int kMinCodeSize = 8;
constexpr int kClearCode = 1 << kMinCodeSize;
constexpr int kEndCode = kClearCode + 1;
constexpr int kMaxCodes = 4096;

// LZW with the GIF conventions: codes start one bit wider than the pixel size and grow
// as soon as the next code to be assigned no longer fits (the decoder, which learns each
// entry one code later, grows at the same place); a full table is restarted with a
// clear code.
std::string CompressIndices(const std::vector<std::uint8_t>& indices) {
  CodeWriter out;
  std::unordered_map<std::uint32_t, int> table;
  int width = kMinCodeSize + 1;
  int next = kEndCode + 1;
  out.Put(kClearCode, width);
  int prefix = indices.front();
  for (std::size_t i = 1; i < indices.size(); ++i) {
    const std::uint32_t key = static_cast<std::uint32_t>(prefix) << 8 | indices[i];
    if (auto found = table.find(key); found != table.end()) {
      prefix = found->second;
      continue;
    }
    out.Put(prefix, width);
    if (next < kMaxCodes) {
      table.emplace(key, next);
      if (next == (1 << width) && width < 12) ++width;
      ++next;
    } else {
      out.Put(kClearCode, width);
      table.clear();
      width = kMinCodeSize + 1;
      next = kEndCode + 1;
    }
    prefix = indices[i];
  }
  out.Put(prefix, width);
  // The decoder learns one more entry on reading the last code and may grow with it.
  if (next == (1 << width) && width < 12) ++width;
  out.Put(kEndCode, width);
  return out.Finish();
}

void PutWord(std::string& out, int value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

}  // namespace

QImage ToIndexed8(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  std::vector<QRgb> pixels;
  pixels.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()));
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) pixels.push_back(line[x] | 0xFF000000u);
  }
  std::map<QRgb, int> exact;
  for (QRgb c : pixels) {
    if (exact.size() > 256) break;
    exact.emplace(c, 0);
  }
  std::vector<QRgb> palette;
  if (exact.size() <= 256) {
    for (auto& [colour, index] : exact) {
      index = static_cast<int>(palette.size());
      palette.push_back(colour);
    }
  } else {
    palette = MedianCutPalette(pixels);
  }

  QImage indexed(rgb.size(), QImage::Format_Indexed8);
  indexed.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
  std::unordered_map<QRgb, int> lookup;
  std::size_t p = 0;
  for (int y = 0; y < rgb.height(); ++y) {
    uchar* line = indexed.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x, ++p) {
      auto found = lookup.find(pixels[p]);
      if (found == lookup.end()) {
        const auto known = exact.find(pixels[p]);
        const int index = exact.size() <= 256 && known != exact.end() ? known->second
                                                                      : Nearest(palette, pixels[p]);
        found = lookup.emplace(pixels[p], index).first;
      }
      line[x] = static_cast<uchar>(found->second);
    }
  }
  return indexed;
}

std::string EncodeGif(const QImage& image) {
  if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF) {
    throw std::invalid_argument("a GIF picture needs between 1 and 65535 pixels per side");
  }
  const QImage indexed = ToIndexed8(image);
  std::string out = "GIF89a";
  PutWord(out, indexed.width());
  PutWord(out, indexed.height());
  out.push_back(static_cast<char>(0xF7));  // global colour table of 256 entries, 8 bits a colour
  out.push_back(0);                        // background colour index
  out.push_back(0);                        // square pixels
  const QList<QRgb> colours = indexed.colorTable();
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < colours.size() ? colours[i] : qRgb(0, 0, 0);
    out.push_back(static_cast<char>(qRed(c)));
    out.push_back(static_cast<char>(qGreen(c)));
    out.push_back(static_cast<char>(qBlue(c)));
  }
  out.push_back(0x2C);  // image descriptor: whole screen, not interlaced, no local colours
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, indexed.width());
  PutWord(out, indexed.height());
  out.push_back(0);

  std::vector<std::uint8_t> indices;
  indices.reserve(static_cast<std::size_t>(indexed.width()) *
                  static_cast<std::size_t>(indexed.height()));
  for (int y = 0; y < indexed.height(); ++y) {
    const uchar* line = indexed.constScanLine(y);
    indices.insert(indices.end(), line, line + indexed.width());
  }
  out.push_back(static_cast<char>(kMinCodeSize));
  const std::string data = CompressIndices(indices);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t length = std::min<std::size_t>(255, data.size() - at);
    out.push_back(static_cast<char>(length));
    out.append(data, at, length);
  }
  out.push_back(0);     // end of the image data
  out.push_back(0x3B);  // trailer
  return out;
}

}  // namespace velnor::demo
