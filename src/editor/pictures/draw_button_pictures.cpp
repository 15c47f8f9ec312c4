// Draws the pictures of the window's three graphical buttons into the folder named on
// the command line, at build time: a green tick (OK, 44 x 36), a red cross (Cancel,
// 37 x 39) and a black question mark with an arrow to the lower left (help, 41 x 45),
// each on a transparent background, in their designed size and at twice it ("@2x") for
// screens of more pixels; and the program's icon in the sizes desktops ask for, also as
// one .ico file for the Windows executable's resources.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A transparent canvas of the designed size times scale; the painter on it draws in
// the designed coordinates.
QImage Canvas(int width, int height, int scale) {
  QImage image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

void Scaled(QPainter& painter, int scale) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(scale, scale);
}

// A stroke with a darker rim, so that the mark stands out on any button face.
void RimmedStroke(QPainter& painter, const QPainterPath& path, const QColor& rim,
                  const QColor& fill, double width) {
  painter.strokePath(path, QPen(rim, width + 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.strokePath(path, QPen(fill, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QImage Tick(int scale) {
  QImage image = Canvas(44, 36, scale);
  QPainter painter(&image);
  Scaled(painter, scale);
  QPainterPath path;
  path.moveTo(6, 19);
  path.lineTo(16, 29);
  path.lineTo(38, 6);
  RimmedStroke(painter, path, QColor(0, 90, 0), QColor(0, 175, 0), 6);
  return image;
}

QImage Cross(int scale) {
  QImage image = Canvas(37, 39, scale);
  QPainter painter(&image);
  Scaled(painter, scale);
  QPainterPath path;
  path.moveTo(7, 7);
  path.lineTo(30, 32);
  path.moveTo(30, 7);
  path.lineTo(7, 32);
  RimmedStroke(painter, path, QColor(120, 0, 0), QColor(220, 20, 20), 6);
  return image;
}

QImage Question(int scale) {
  QImage image = Canvas(41, 45, scale);
  QPainter painter(&image);
  Scaled(painter, scale);
  const QPen pen(Qt::black, 4.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

  // The question mark in the upper right: a hook and its dot.
  QPainterPath hook;
  hook.moveTo(19, 11);
  hook.arcTo(QRectF(19, 3, 15, 15), 180, -250);
  hook.quadTo(27, 18, 27, 23);
  painter.strokePath(hook, pen);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawEllipse(QPointF(27, 30), 2.8, 2.8);

  // The arrow towards the lower left, where the help is wanted.
  QPainterPath shaft;
  shaft.moveTo(20, 27);
  shaft.lineTo(9, 38);
  painter.strokePath(shaft, QPen(Qt::black, 3.5, Qt::SolidLine, Qt::RoundCap));
  QPolygonF head;
  head << QPointF(3, 43) << QPointF(4.5, 31) << QPointF(15, 41.5);
  painter.drawPolygon(head);
  return image;
}

// The program's icon: a small grid of picture cells, two of them chosen (green), as the
// window shows them, on a rounded dark tile.
QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(40, 40, 48));
  painter.drawRoundedRect(QRectF(1, 1, 30, 30), 5, 5);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const bool chosen = (row == 0 && column == 1) || (row == 2 && column == 0);
      const QRectF cell(4 + column * 8.3, 4 + row * 8.3, 7.3, 7.3);
      painter.setBrush(chosen ? QColor(0, 225, 0) : QColor(0, 0, 0));
      painter.drawRect(cell);
      painter.setBrush(QColor(210, 210, 220));
      painter.drawRect(cell.adjusted(1.8, 1.8, -1.8, -1.8));
    }
  }
  return image;
}

bool Save(const QImage& image, const std::string& folder, const char* name) {
  const std::string path = folder + "/" + name;
  if (image.save(QString::fromStdString(path), "PNG")) return true;
  std::fprintf(stderr, "draw_button_pictures: cannot write %s\n", path.c_str());
  return false;
}

// The icon as Windows' Explorer and task bar take it: every size in one .ico file, each
// image kept as PNG (which Windows reads in icons since Vista). Sizes of 256 are written
// as 0 in the directory's one-byte fields.
bool SaveIconFile(const std::vector<int>& sizes, const std::string& folder) {
  QByteArray file;
  auto put = [&file](unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i) file.append(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  std::vector<QByteArray> images;
  for (const int size : sizes) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!Icon(size).save(&buffer, "PNG")) return false;
    images.push_back(buffer.data());
  }
  put(0, 2);  // reserved
  put(1, 2);  // an icon, not a cursor
  put(static_cast<unsigned>(sizes.size()), 2);
  unsigned offset = 6 + 16 * static_cast<unsigned>(sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const unsigned side = sizes[i] >= 256 ? 0 : static_cast<unsigned>(sizes[i]);
    put(side, 1);
    put(side, 1);
    put(0, 1);   // no palette
    put(0, 1);   // reserved
    put(1, 2);   // colour planes
    put(32, 2);  // bits per pixel
    put(static_cast<unsigned>(images[i].size()), 4);
    put(offset, 4);
    offset += static_cast<unsigned>(images[i].size());
  }
  for (const QByteArray& image : images) file.append(image);
  const std::string path = folder + "/icon.ico";
  QFile out(QString::fromStdString(path));
  if (out.open(QIODevice::WriteOnly) && out.write(file) == file.size() && out.flush()) return true;
  std::fprintf(stderr, "draw_button_pictures: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_button_pictures <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  bool saved = true;
  for (const int scale : {1, 2}) {
    const std::string suffix = scale == 1 ? ".png" : "@2x.png";
    saved = saved && Save(Tick(scale), folder, ("ok" + suffix).c_str()) &&
            Save(Cross(scale), folder, ("cancel" + suffix).c_str()) &&
            Save(Question(scale), folder, ("quest" + suffix).c_str());
  }
  const std::vector<int> iconSizes{16, 32, 48, 64, 128, 256};
  for (const int size : iconSizes) {
    saved = saved && Save(Icon(size), folder, ("icon_" + std::to_string(size) + ".png").c_str());
  }
  saved = saved && SaveIconFile(iconSizes, folder);
  return saved ? 0 : 1;
}
