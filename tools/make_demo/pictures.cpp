#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

namespace velnor::demo {
namespace {

// Segments a..g of a seven-segment digit, as bits 0..6.
constexpr std::array<int, 10> kDigitSegments = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void DrawDigit(QPainter& painter, const QRectF& box, int digit) {
  const double t = std::max(2.0, box.width() * 0.26);  // stroke thickness
  const double w = box.width();
  const double h = box.height();
  const double x = box.left();
  const double y = box.top();
  const std::array<QRectF, 7> segments = {
      QRectF(x + t * 0.5, y, w - t, t),                     // a: top
      QRectF(x + w - t, y + t * 0.5, t, h / 2 - t * 0.5),   // b: upper right
      QRectF(x + w - t, y + h / 2, t, h / 2 - t * 0.5),     // c: lower right
      QRectF(x + t * 0.5, y + h - t, w - t, t),             // d: bottom
      QRectF(x, y + h / 2, t, h / 2 - t * 0.5),             // e: lower left
      QRectF(x, y + t * 0.5, t, h / 2 - t * 0.5),           // f: upper left
      QRectF(x + t * 0.5, y + h / 2 - t * 0.5, w - t, t)};  // g: middle
  for (int s = 0; s < 7; ++s) {
    if ((kDigitSegments[static_cast<std::size_t>(digit)] >> s & 1) != 0) {
      painter.drawRoundedRect(segments[static_cast<std::size_t>(s)], t * 0.45, t * 0.45);
    }
  }
}

// The number's digits, right-aligned in box, over a shadow for contrast.
void DrawNumber(QPainter& painter, const QRectF& box, int number, const QColor& colour,
                const QColor& shadow) {
  const std::string digits = std::to_string(number);
  const double digitWidth = box.height() * 0.56;
  const double gap = box.height() * 0.18;
  painter.save();
  painter.setPen(Qt::NoPen);
  for (const auto& [offset, fill] : {std::pair{1.0, shadow}, std::pair{0.0, colour}}) {
    painter.setBrush(fill);
    double right = box.right();
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
      DrawDigit(painter,
                QRectF(right - digitWidth + offset, box.top() + offset, digitWidth, box.height()),
                *it - '0');
      right -= digitWidth + gap;
    }
  }
  painter.restore();
}

QPolygonF Star(QPointF centre, double outer, double inner, int points = 5) {
  QPolygonF polygon;
  for (int i = 0; i < 2 * points; ++i) {
    const double radius = i % 2 == 0 ? outer : inner;
    const double angle = (-90.0 + 180.0 * i / points) * std::numbers::pi / 180.0;
    polygon << QPointF(centre.x() + radius * std::cos(angle),
                       centre.y() + radius * std::sin(angle));
  }
  return polygon;
}

// One of ten pictograms, centred on c, about 2r across. Pen and brush come from the caller.
void DrawSymbol(QPainter& painter, int kind, QPointF c, double r) {
  switch (kind % 10) {
    case 0: {  // exclamation mark
      painter.drawRoundedRect(QRectF(c.x() - r * 0.18, c.y() - r, r * 0.36, r * 1.3), r * 0.15,
                              r * 0.15);
      painter.drawEllipse(QPointF(c.x(), c.y() + r * 0.78), r * 0.2, r * 0.2);
      break;
    }
    case 1: {  // lightning bolt
      painter.drawPolygon(QPolygonF{{c.x() + r * 0.25, c.y() - r},
                                    {c.x() - r * 0.55, c.y() + r * 0.1},
                                    {c.x() - r * 0.02, c.y() + r * 0.1},
                                    {c.x() - r * 0.3, c.y() + r},
                                    {c.x() + r * 0.55, c.y() - r * 0.15},
                                    {c.x() + r * 0.05, c.y() - r * 0.15}});
      break;
    }
    case 2: {  // flame
      QPainterPath flame;
      flame.moveTo(c.x(), c.y() - r);
      flame.cubicTo(c.x() + r * 0.9, c.y() - r * 0.1, c.x() + r * 0.8, c.y() + r, c.x(), c.y() + r);
      flame.cubicTo(c.x() - r * 0.8, c.y() + r, c.x() - r * 0.8, c.y() + r * 0.1, c.x() - r * 0.2,
                    c.y() - r * 0.2);
      flame.cubicTo(c.x() - r * 0.1, c.y() + r * 0.2, c.x() + r * 0.1, c.y() - r * 0.4, c.x(),
                    c.y() - r);
      painter.drawPath(flame);
      break;
    }
    case 3: {  // gear
      QPainterPath gear;
      gear.addPolygon(Star(c, r, r * 0.74, 8));
      gear.closeSubpath();
      gear.addEllipse(c, r * 0.62, r * 0.62);
      gear.setFillRule(Qt::WindingFill);
      painter.drawPath(gear.simplified());
      painter.save();
      painter.setBrush(painter.pen().color());
      painter.drawEllipse(c, r * 0.25, r * 0.25);
      painter.restore();
      break;
    }
    case 4: {  // drop
      QPainterPath drop;
      drop.moveTo(c.x(), c.y() - r);
      drop.cubicTo(c.x() + r * 0.3, c.y() - r * 0.4, c.x() + r * 0.75, c.y() + r * 0.05,
                   c.x() + r * 0.75, c.y() + r * 0.35);
      drop.arcTo(QRectF(c.x() - r * 0.75, c.y() - r * 0.3, r * 1.5, r * 1.3), 0, -180);
      drop.cubicTo(c.x() - r * 0.75, c.y() + r * 0.05, c.x() - r * 0.3, c.y() - r * 0.4, c.x(),
                   c.y() - r);
      painter.drawPath(drop);
      break;
    }
    case 5: {  // thermometer
      painter.drawRoundedRect(QRectF(c.x() - r * 0.22, c.y() - r, r * 0.44, r * 1.4), r * 0.22,
                              r * 0.22);
      painter.drawEllipse(QPointF(c.x(), c.y() + r * 0.62), r * 0.38, r * 0.38);
      break;
    }
    case 6: {  // arrow
      painter.drawPolygon(QPolygonF{{c.x() - r, c.y() - r * 0.3},
                                    {c.x() + r * 0.1, c.y() - r * 0.3},
                                    {c.x() + r * 0.1, c.y() - r * 0.8},
                                    {c.x() + r, c.y()},
                                    {c.x() + r * 0.1, c.y() + r * 0.8},
                                    {c.x() + r * 0.1, c.y() + r * 0.3},
                                    {c.x() - r, c.y() + r * 0.3}});
      break;
    }
    case 7: {  // eye
      QPainterPath eye;
      eye.moveTo(c.x() - r, c.y());
      eye.quadTo(c.x(), c.y() - r * 1.2, c.x() + r, c.y());
      eye.quadTo(c.x(), c.y() + r * 1.2, c.x() - r, c.y());
      painter.drawPath(eye);
      painter.save();
      painter.setBrush(painter.pen().color());
      painter.drawEllipse(c, r * 0.3, r * 0.3);
      painter.restore();
      break;
    }
    case 8: {  // star
      painter.drawPolygon(Star(c, r, r * 0.45));
      break;
    }
    default: {  // hand: palm and four fingers
      painter.drawRoundedRect(QRectF(c.x() - r * 0.6, c.y() - r * 0.1, r * 1.2, r * 1.1), r * 0.3,
                              r * 0.3);
      for (int f = 0; f < 4; ++f) {
        const double fx = c.x() - r * 0.6 + f * r * 0.32;
        painter.drawRoundedRect(
            QRectF(fx, c.y() - r * (f == 0 || f == 3 ? 0.7 : 0.95), r * 0.26, r * 0.9), r * 0.13,
            r * 0.13);
      }
      break;
    }
  }
}

QColor Hue(int degrees, int saturation, int value) {
  return QColor::fromHsv(((degrees % 360) + 360) % 360, saturation, value);
}

}  // namespace

QImage DrawInfoButton(int number) {
  QImage image(kInfoButtonWidth, kInfoButtonHeight, QImage::Format_RGB32);
  image.fill(QColor(0xD4, 0xD0, 0xC8));  // the panel's dialog grey around the button
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);

  const int hue = number * 47;
  const QRectF face(1.5, 1.5, kInfoButtonWidth - 3, kInfoButtonHeight - 3);
  QLinearGradient shade(face.topLeft(), face.bottomLeft());
  shade.setColorAt(0, Hue(hue, 120, 250));
  shade.setColorAt(1, Hue(hue, 230, 170));
  painter.setPen(QPen(Hue(hue, 255, 80), 2));
  painter.setBrush(shade);
  painter.drawRoundedRect(face, 8, 8);

  painter.setPen(QPen(Hue(hue, 255, 60), 1.5));
  painter.setBrush(Qt::white);
  DrawSymbol(painter, number - 1, QPointF(kInfoButtonHeight * 0.41, kInfoButtonHeight * 0.5),
             kInfoButtonHeight * 0.27);

  DrawNumber(painter,
             QRectF(kInfoButtonWidth * 0.5, kInfoButtonHeight * 0.23, kInfoButtonWidth * 0.43,
                    kInfoButtonHeight * 0.52),
             number, Qt::white, Hue(hue, 255, 60));
  return image;
}

QImage DrawWarning(int number, int machine) {
  QImage image(kWarningSize, kWarningSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);

  QColor symbolColour = Qt::black;
  QPointF symbolCentre(32, 30);
  double symbolRadius = 13;
  if (machine == 0) {
    switch ((number - 1) / 10 % 3) {
      case 0:  // yellow warning triangle
        painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(QColor(0xFF, 0xD2, 0x00));
        painter.drawPolygon(QPolygonF{{32, 4}, {61, 56}, {3, 56}});
        symbolCentre = QPointF(32, 37);
        symbolRadius = 11;
        break;
      case 1:  // blue mandatory sign
        painter.setPen(QPen(QColor(0x00, 0x3A, 0x80), 2));
        painter.setBrush(QColor(0x00, 0x5E, 0xB8));
        painter.drawEllipse(QPointF(32, 30), 27, 27);
        symbolColour = Qt::white;
        break;
      default:  // red prohibition sign
        painter.setPen(QPen(QColor(0xD0, 0x10, 0x20), 6));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(32, 30), 25, 25);
        symbolRadius = 12;
        break;
    }
  } else {
    const int hue = 200 + machine * 70;
    painter.setPen(QPen(Hue(hue, 255, 90), 2));
    painter.setBrush(Hue(hue, 170, 235));
    painter.drawRoundedRect(QRectF(3, 3, 58, 58), 10, 10);
    // One notch per machine number along the top edge tells the machines apart.
    painter.setBrush(Hue(hue, 255, 90));
    for (int m = 0; m < machine && m < 7; ++m) {
      painter.drawEllipse(QPointF(10 + m * 7, 9), 2.2, 2.2);
    }
    symbolColour = Qt::white;
  }

  painter.setPen(QPen(symbolColour == Qt::white ? QColor(0x20, 0x20, 0x20) : Qt::black, 1));
  painter.setBrush(symbolColour);
  DrawSymbol(painter, number - 1, symbolCentre, symbolRadius);
  if (machine == 0 && (number - 1) / 10 % 3 == 2) {
    painter.setPen(QPen(QColor(0xD0, 0x10, 0x20), 5, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(14, 12), QPointF(50, 48));
  }

  // The number on a dark tag in the lower right corner.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x30, 0x30, 0x30));
  const double tagWidth = number >= 10 ? 25 : 15;
  painter.drawRoundedRect(QRectF(63 - tagWidth, 45, tagWidth, 18), 3, 3);
  DrawNumber(painter, QRectF(63 - tagWidth + 2.5, 47.5, tagWidth - 6, 12), number, Qt::white,
             QColor(0x10, 0x10, 0x10));
  return image;
}

}  // namespace velnor::demo
