#include "editor/window_controls.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace velnor {

PictureBox::PictureBox(QWidget* parent, bool border, bool autoSize)
    : QWidget(parent),
      border_(border),
      autoSize_(autoSize),
      backColor_(QApplication::palette().color(QPalette::Button)) {
  Recompose();
}

void PictureBox::SetBackColor(const QColor& color) {
  backColor_ = color;
  Recompose();
}

void PictureBox::SetPicture(const QImage& picture) {
  picture_ = picture;
  if (autoSize_ && !picture_.isNull()) {
    const int frame = 2 * BorderWidth();
    resize(picture_.width() + frame, picture_.height() + frame);
  }
  Recompose();
}

void PictureBox::PaintPicture(const QImage& image, int x, int y) {
  if (surface_.isNull() || image.isNull()) return;
  QPainter painter(&surface_);
  painter.drawImage(QPointF(x, y), image);
  painter.end();
  update();
}

void PictureBox::Veil(const QColor& color) {
  if (surface_.isNull()) return;
  QPainter painter(&surface_);
  painter.fillRect(QRectF(QPointF(0, 0), surface_.deviceIndependentSize()),
                   QBrush(color, Qt::BDiagPattern));
  painter.end();
  update();
}

void PictureBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(this, changed);
  QAccessible::updateAccessibility(&event);
}

QImage PictureAtRatio(const QImage& source, QSize size, const QColor& background, qreal ratio) {
  const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
  QImage image(pixels, QImage::Format_RGB32);
  image.fill(background);
  if (!source.isNull() && !pixels.isEmpty()) {
    QPainter painter(&image);
    painter.drawImage(0, 0, source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
  image.setDevicePixelRatio(ratio);
  return image;
}

void PictureBox::Recompose() {
  const int frame = 2 * BorderWidth();
  const QSize client(std::max(0, width() - frame), std::max(0, height() - frame));
  if (client.isEmpty()) {
    surface_ = QImage();
  } else {
    // Kept at the screen's resolution, so that what is painted on it stays sharp.
    const qreal ratio = devicePixelRatioF();
    surface_ = QImage(QSize(qRound(client.width() * ratio), qRound(client.height() * ratio)),
                      QImage::Format_RGB32);
    surface_.setDevicePixelRatio(ratio);
    surface_.fill(backColor_);
    if (!picture_.isNull()) {
      QPainter painter(&surface_);
      painter.drawImage(0, 0, picture_);
    }
  }
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int inset = BorderWidth();
  if (border_) {
    // The sunken 3D border of a picture box: dark above and left, light below and right.
    const QPalette& colors = palette();
    const QRect outer = rect().adjusted(0, 0, -1, -1);
    painter.setPen(colors.color(QPalette::Mid));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(colors.color(QPalette::Light));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    painter.setPen(colors.color(QPalette::Shadow));
    painter.drawLine(inner.topLeft(), inner.topRight());
    painter.drawLine(inner.topLeft(), inner.bottomLeft());
    painter.setPen(colors.color(QPalette::Midlight));
    painter.drawLine(inner.bottomLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomRight());
  }
  if (!surface_.isNull()) painter.drawImage(QPointF(inset, inset), surface_);
  if (hasFocus()) {
    // A ring in the highlight colour with a white edge inside: plain on the black and
    // the green of a cell alike, and unlike the green frame of a choice.
    const QRectF inner = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
    painter.drawRect(inner.adjusted(1.5, 1.5, -1.5, -1.5));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(inner.adjusted(3.5, 3.5, -3.5, -3.5));
  }
}

void PictureBox::resizeEvent(QResizeEvent*) {
  Recompose();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click) emit clicked();
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  // The keyboard's way to click a cell.
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    emit clicked();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click) emit clicked();
}

}  // namespace velnor
