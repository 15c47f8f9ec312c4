#pragma once
// The kinds of control the window is made of that Qt has no ready match for: the
// picture box, which keeps what is drawn into it, and the label with a click event.
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QWidget>

namespace velnor {

// A picture box. Its client area is a persistent surface: the background colour, the
// picture at the top left, and whatever was painted on top since. Setting the
// background colour or the picture starts the surface afresh. With a border the
// client area lies 2 pixels inside on every side.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  PictureBox(QWidget* parent, bool border, bool autoSize);

  QColor BackColor() const { return backColor_; }
  void SetBackColor(const QColor& color);

  // An auto-sized box takes the picture's size; a null picture leaves the size alone.
  void SetPicture(const QImage& picture);

  // Paints image onto the surface at (x, y) of the client area, in its natural size.
  void PaintPicture(const QImage& image, int x, int y);

  // The client area as drawn.
  const QImage& Image() const { return surface_; }

  int BorderWidth() const { return border_ ? 2 : 0; }

  // Lays a hatched veil of color over the surface: the look of a cell that cannot be
  // switched.
  void Veil(const QColor& color);

  // What assistive technology is told of a cell: whether it can be switched, and
  // whether it is chosen. A change of the choice is announced.
  bool Switchable() const { return switchable_; }
  void SetSwitchable(bool switchable) { switchable_ = switchable; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

  // The click of the mouse, the Space key and the screen reader's toggle action.
  void Click() { emit clicked(); }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Recompose();

  bool border_;
  bool autoSize_;
  bool pressed_ = false;
  bool switchable_ = true;
  bool checked_ = false;
  QColor backColor_;
  QImage picture_;
  QImage surface_;
};

// The picture drawn from its source at the size it takes in logical pixels, sharp at the
// screen's device pixel ratio, on background where it is transparent.
QImage PictureAtRatio(const QImage& source, QSize size, const QColor& background, qreal ratio);

// The frame that holds the grid: a kind of its own, so that assistive technology is
// shown its shown cells only.
class GridFrame : public QGroupBox {
  Q_OBJECT

 public:
  using QGroupBox::QGroupBox;
};

// A label that reports a click, as the window's header does.
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace velnor
