// The window's controls, in the order they are created, at their design positions.
// Positions are in twips as the window was designed (15 twips per pixel); the layout
// is fixed and nothing moves at run time.
#include <QGroupBox>
#include <QKeySequence>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>

#include "editor/accessibility.h"
#include "editor/editor_window.h"
#include "editor/help_mode.h"
#include "editor/window_controls.h"

namespace velnor {
namespace {

constexpr int kClientWidthTwips = 11880;
constexpr int kClientHeightTwips = 8595;

constexpr int Px(int twips) {
  return twips / kTwipsPerPixel;
}

QRect Twips(int left, int top, int width, int height) {
  return {Px(left), Px(top), Px(width), Px(height)};
}

QFont DesignFont(const char* family, double points) {
  QFont font(QString::fromLatin1(family));
  font.setPointSizeF(points);
  font.setBold(true);
  return font;
}

// A picture drawn at build time in its designed size and at twice that, so that Qt
// picks or smoothly scales the one fit for the screen's pixel density.
QIcon DrawnIcon(const char* name) {
  QIcon icon;
  for (const char* scale : {"", "@2x"}) {
    icon.addFile(
        QStringLiteral(":/buttons/%1%2.png").arg(QLatin1String(name), QLatin1String(scale)));
  }
  return icon;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/buttons/icon_%1.png").arg(size));
  }
  return icon;
}

QPushButton* GraphicalButton(QWidget* parent, const char* picture, QSize size) {
  auto* button = new QPushButton(parent);
  button->setIcon(DrawnIcon(picture));
  button->setIconSize(size);
  return button;
}

}  // namespace

EditorWindow::EditorWindow(const RunState& run, QWidget* parent) : QWidget(parent), run_(run) {
  InstallAccessibility();
  setObjectName(QStringLiteral("frm_Velnor_Config_Exe"));
  setWindowTitle(QStringLiteral("Base ZORCFG-Erweiterung"));
  setWindowIcon(ProgramIcon());
  setFixedSize(Px(kClientWidthTwips), Px(kClientHeightTwips));
  BuildControls();
  ConnectEvents();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::AddControl(QWidget* widget, ControlKind kind, const char* name,
                              std::optional<int> index, const char* tag, int helpId) {
  widget->setObjectName(QString::fromLatin1(name));
  if (index) widget->setProperty("Index", *index);
  controls_.push_back(std::make_unique<WindowControl>(widget, kind, name, index, tag, helpId));
}

// The controls are made in the designed window's order, which the language file's texts
// enumerate.
void EditorWindow::BuildControls() {
  BuildWorkSurfaces();
  BuildGrid();
  BuildButtons();
  BuildTabStripAndHeader();

  // The frame with the grid lies on the tab strip's page area, as it did in the
  // designed window, where the controls created first lie on top.
  mainFrame_->raise();

  setTabOrder(commandOK_, commandCancel_);
  setTabOrder(commandCancel_, commandQuest_);
  // Enter presses the focused button, as Space does.
  for (QPushButton* button : {commandOK_, commandCancel_, commandQuest_}) {
    button->setAutoDefault(true);
  }
  // The wheel scrolls the grid wherever over it, not over the scroll bar alone.
  mainFrame_->installEventFilter(this);
}

void EditorWindow::BuildWorkSurfaces() {
  // Hidden work surfaces of the drawing: PicZwischen composes a cell's image.
  picZwischen_ = new PictureBox(this, false, true);
  picZwischen_->setGeometry(Twips(4650, 7755, 360, 345));
  picZwischen_->hide();
  AddControl(picZwischen_, ControlKind::kPictureBox, "PicZwischen");

  picZiel_ = new PictureBox(this, false, false);
  picZiel_->setGeometry(Twips(3285, 7740, 900, 675));
  picZiel_->hide();
  AddControl(picZiel_, ControlKind::kPictureBox, "PicZiel");

  picQuelle_ = new PictureBox(this, false, true);
  picQuelle_->setGeometry(Twips(1275, 7725, 1815, 735));
  picQuelle_->hide();
  AddControl(picQuelle_, ControlKind::kPictureBox, "PicQuelle");
}

void EditorWindow::BuildGrid() {
  mainFrame_ = new GridFrame(this);
  mainFrame_->setGeometry(Twips(90, 810, 9915, 6030));
  AddControl(mainFrame_, ControlKind::kFrame, "MainFrame");

  for (int index = 1; index <= kCellCount; ++index) {
    const int column = (index - 1) % kCellsPerRow;
    const int row = (index - 1) / kCellsPerRow;
    auto* cell = new PictureBox(mainFrame_, true, false);
    cell->setGeometry(Twips(15 + column * 1200, 105 + row * 840, 1200, 840));
    // The grid is one stop of the Tab key: only its current cell takes the Tab focus,
    // and the arrow keys move within the grid.
    cell->setFocusPolicy(Qt::ClickFocus);
    cell->installEventFilter(this);
    cell->hide();
    cells_.push_back(cell);
    AddControl(cell, ControlKind::kPictureBox, "Bild", index);
  }

  vScroll_ = new QScrollBar(Qt::Vertical, mainFrame_);
  vScroll_->setGeometry(Twips(9615, 105, 270, 5865));
  vScroll_->setRange(1, 1);
  vScroll_->setValue(1);
  vScroll_->setSingleStep(1);
  vScroll_->setPageStep(6);
  vScroll_->setAccessibleName(QStringLiteral("Rows"));
  AddControl(vScroll_, ControlKind::kVScrollBar, "VScroll");

  for (int row = 1; row <= kVisibleRows; ++row) {
    auto* label = new QLabel(QStringLiteral("Label1"), mainFrame_);
    label->setGeometry(Twips(60, 450 + (row - 1) * 840, 3360, 390));
    label->setFont(DesignFont("Lucida Sans Unicode", 15.75));
    // Machine names and translated captions are shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    label->hide();
    rowLabels_.push_back(label);
    AddControl(label, ControlKind::kLabel, "Maschine", row);
  }
}

void EditorWindow::BuildButtons() {
  commandQuest_ = GraphicalButton(this, "quest", {41, 45});
  commandQuest_->setGeometry(Twips(7350, 7710, 975, 855));
  commandQuest_->setAccessibleName(QStringLiteral("Help mode"));
  commandQuest_->setToolTip(QString::fromUtf8(kToolTipQuest));
  AddControl(commandQuest_, ControlKind::kCommandButton, "CommandQuest");

  commandCancel_ = GraphicalButton(this, "cancel", {37, 39});
  commandCancel_->setGeometry(Twips(10170, 7710, 1695, 855));
  commandCancel_->setAccessibleName(QStringLiteral("Cancel"));
  commandCancel_->setToolTip(QString::fromUtf8(kToolTipCancel));
  AddControl(commandCancel_, ControlKind::kCommandButton, "CommandCancel", std::nullopt, "", 2);

  commandOK_ = GraphicalButton(this, "ok", {44, 36});
  commandOK_->setGeometry(Twips(8400, 7710, 1695, 855));
  commandOK_->setAccessibleName(QStringLiteral("OK"));
  commandOK_->setToolTip(QString::fromUtf8(kToolTipOK));
  commandOK_->setEnabled(false);
  AddControl(commandOK_, ControlKind::kCommandButton, "CommandOK", std::nullopt, "", 1);
}

void EditorWindow::BuildTabStripAndHeader() {
  tabStrip_ = new QTabWidget(this);
  tabStrip_->setGeometry(Twips(0, 390, 11880, 7260));
  tabStrip_->setFont(DesignFont("MS Sans Serif", 12));
  tabStrip_->addTab(new QWidget, QStringLiteral("Schalter"));
  tabStrip_->addTab(new QWidget, QStringLiteral("Symbole"));
  AddControl(tabStrip_, ControlKind::kTabStrip, "TabStrip", std::nullopt, "NoTTT");

  header_ = new ClickLabel(QStringLiteral("Info"), this);
  header_->setGeometry(Twips(30, 30, 11775, 360));
  header_->setFont(DesignFont("MS Sans Serif", 13.5));
  header_->setTextFormat(Qt::PlainText);
  AddControl(header_, ControlKind::kLabel, "Header");
}

void EditorWindow::ConnectEvents() {
  for (int index = 1; index <= kCellCount; ++index) {
    connect(Bild(index), &PictureBox::clicked, this, [this, index] { Bild_Click(index); });
  }
  connect(vScroll_, &QScrollBar::valueChanged, this, [this] { VScroll_Change(); });
  // The click event follows the change of selection; a click on the tab already
  // selected changes nothing but is a click all the same.
  connect(tabStrip_, &QTabWidget::currentChanged, this, [this] { TabStrip_Click(); });
  connect(tabStrip_, &QTabWidget::tabBarClicked, this, [this](int tab) {
    if (tab == tabStrip_->currentIndex()) TabStrip_Click();
  });
  connect(header_, &ClickLabel::clicked, this, [this] { Header_Click(); });
  connect(commandOK_, &QPushButton::clicked, this, [this] { CommandOK_Click(); });
  connect(commandCancel_, &QPushButton::clicked, this, [this] { CommandCancel_Click(); });
  connect(commandQuest_, &QPushButton::clicked, this, [this] { CommandQuest_Click(); });

  // Escape asks as the window's close button does; Ctrl+Tab switches tabs wherever the
  // focus is, as in a dialog with tabs.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] { close(); });
  auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
  connect(nextTab, &QShortcut::activated, this, [this] { SwitchTab(+1); });
  auto* previousTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), this);
  connect(previousTab, &QShortcut::activated, this, [this] { SwitchTab(-1); });
}

ControlList EditorWindow::Controls() const {
  ControlList list;
  for (const auto& control : controls_) list.push_back(control.get());
  return list;
}

const WindowControl& EditorWindow::ControlOf(const QWidget* widget) const {
  for (const auto& control : controls_) {
    if (control->widget() == widget) return *control;
  }
  throw std::logic_error("a widget of the window without its control");
}

PictureBox* EditorWindow::Bild(int index) const {
  return cells_.at(static_cast<std::size_t>(index - 1));
}

QLabel* EditorWindow::Maschine(int row) const {
  return rowLabels_.at(static_cast<std::size_t>(row - 1));
}

QLabel* EditorWindow::Header() const {
  return header_;
}

int EditorWindow::SelectedTab() const {
  return tabStrip_->currentIndex() + 1;
}

}  // namespace velnor
