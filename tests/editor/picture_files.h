#pragma once
// Small picture files for the page: GIF info buttons and BMP warnings.
#include <QColor>
#include <filesystem>
#include <optional>

namespace velnor::test {

// A GIF of one colour; with transparentRows, that many rows at the top are transparent.
void WriteGif(const std::filesystem::path& path, int width, int height, const QColor& color,
              int transparentRows = 0);

// A BMP of one colour.
void WriteBmp(const std::filesystem::path& path, int width, int height, const QColor& color);

// A file that claims a picture's name and holds none.
void WriteDamagedPicture(const std::filesystem::path& path);

}  // namespace velnor::test
