#pragma once
// Qt reads GIF files but cannot write them, and the panel project keeps its info
// buttons as GIF: this writes one-frame GIF89a files with a 256-colour palette.
#include <QImage>
#include <string>

namespace velnor::demo {

// The image with at most 256 colours: unchanged colours when it has no more than 256,
// otherwise a median-cut palette with every pixel mapped to its nearest entry.
QImage ToIndexed8(const QImage& image);

// The bytes of a GIF89a file showing the image (reduced by ToIndexed8). Transparency is
// not kept: the pictures are drawn on an opaque background.
std::string EncodeGif(const QImage& image);

}  // namespace velnor::demo
