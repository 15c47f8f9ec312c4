#pragma once
// The window frm_Velnor_Config_Exe: the grid of picture cells per tab, the help mode,
// and OK and Cancel. Its event procedures live in files of one purpose each:
// window_layout.cpp (the controls), window_events.cpp (load, activate, close, OK,
// Cancel, "?"), page_build.cpp (the slot table), page_view.cpp (drawing, scrolling,
// tabs, cell clicks), page_keys.cpp (the keyboard and the wheel over the grid);
// accessibility.cpp tells assistive technology what the window shows.
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "editor/control_model.h"
#include "editor/slot_table.h"
#include "settings/language.h"

class QPushButton;
class QScrollBar;
class QTabWidget;
class QGroupBox;
class QLabel;

namespace velnor {

class PictureBox;
class ClickLabel;
class Procedure;

inline constexpr int kCellCount = 56;
inline constexpr int kVisibleRows = 7;
inline constexpr int kTwipsPerPixel = 15;

// Colours of the cells and of the "?" button.
inline const QColor kChosenColor{0, 225, 0};    // 0xE100
inline const QColor kNotChosenColor{0, 0, 0};   // 0
inline const QColor kHelpModeColor{0, 255, 0};  // 0xFF00
// The veil over a cell whose choice cannot be saved.
inline const QColor kNotStorableVeil{128, 128, 128, 170};

class EditorWindow : public QWidget {
  Q_OBJECT

 public:
  // The window of the run, which must outlive it.
  explicit EditorWindow(const RunState& run, QWidget* parent = nullptr);
  ~EditorWindow() override;
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  // The controls in creation order, as the language texts enumerate them.
  ControlList Controls() const;
  const std::vector<std::unique_ptr<WindowControl>>& ControlModel() const { return controls_; }

  SlotTable& Slots() { return slots_; }
  const SlotTable& Slots() const { return slots_; }
  const RunState& Run() const { return run_; }
  // True while the help mode is on; switched only by the "?" button.
  bool HelpMode() const { return helpMode_; }
  const HelpTextTable& HelpTexts() const { return helpTexts_; }

  PictureBox* Bild(int index) const;  // 1..56
  QLabel* Maschine(int row) const;    // 1..7
  PictureBox* PicZwischen() const { return picZwischen_; }
  QScrollBar* VScroll() const { return vScroll_; }
  QTabWidget* TabStrip() const { return tabStrip_; }
  QPushButton* CommandOK() const { return commandOK_; }
  QPushButton* CommandCancel() const { return commandCancel_; }
  QPushButton* CommandQuest() const { return commandQuest_; }
  QLabel* Header() const;

  // The index (1 or 2) of the tab strip's selected tab.
  int SelectedTab() const;
  // The tab whose page the grid shows; the selected one, once it has been drawn.
  int ShownTab() const { return shownTab_; }

  // window_events.cpp
  void Form_Load();
  void Form_Activate();
  void Form_QueryUnload(bool& cancel);
  void CommandOK_Click();
  void CommandCancel_Click();
  void CommandQuest_Click();
  void CloseMe();

  // page_build.cpp
  void SetupUserInterFace();
  void ShrinkPicture(const QImage& source, QImage& destination);

  // page_view.cpp
  void Scrollen(int tab);
  void TabStrip_Click();
  void VScroll_Change();
  void Header_Click();
  void Bild_Click(int index);

 protected:
  void showEvent(QShowEvent* event) override;
  // page_keys.cpp: the keys and the wheel over the grid.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void AddControl(QWidget* widget, ControlKind kind, const char* name,
                  std::optional<int> index = std::nullopt, const char* tag = "", int helpId = 0);
  void BuildWorkSurfaces();
  void BuildGrid();
  void BuildButtons();
  void BuildTabStripAndHeader();
  void ConnectEvents();
  // page_build.cpp: the steps of SetupUserInterFace
  void LoadToolTips(Procedure& proc);
  void LoadInfoButtons(Procedure& proc);
  void MarkStoredButtons(Procedure& proc);
  void LayOutWarnings(Procedure& proc);
  void MarkStoredWarnings(Procedure& proc);
  const WindowControl& ControlOf(const QWidget* widget) const;
  // Sets up the scroll bar for the selected tab and draws it from its first row.
  void ShowSelectedTab(const char* procedureName);
  // Draws the slot's picture centred on its selection colour into the cell.
  void DrawCell(int index, int tab, int slot);
  // page_keys.cpp
  int CellIndex(const QObject* object) const;  // 1..56, 0 for no cell
  // Makes the cell (0: none) the grid's one stop of the Tab key.
  void SetCurrentCell(int index);
  // The shown slot a navigation key leads to from slot from, 0 for none.
  int TargetSlot(int from, int key) const;
  // Scrolls the slot into view and focuses its cell.
  void FocusSlot(int slot);
  void SwitchTab(int step);

  std::vector<std::unique_ptr<WindowControl>> controls_;
  std::vector<PictureBox*> cells_;
  std::vector<QLabel*> rowLabels_;
  std::vector<QString> cellToolTips_;  // as the language file gave them
  PictureBox* picZwischen_ = nullptr;
  PictureBox* picZiel_ = nullptr;
  PictureBox* picQuelle_ = nullptr;
  QGroupBox* mainFrame_ = nullptr;
  QScrollBar* vScroll_ = nullptr;
  QPushButton* commandQuest_ = nullptr;
  QPushButton* commandCancel_ = nullptr;
  QPushButton* commandOK_ = nullptr;
  QTabWidget* tabStrip_ = nullptr;
  ClickLabel* header_ = nullptr;

  const RunState& run_;
  SlotTable slots_;
  HelpTextTable helpTexts_;
  int shownTab_ = kTabButtons;
  int currentCell_ = 0;
  int wheelTurn_ = 0;  // of the wheel over the grid, short of a notch
  bool helpMode_ = false;
  bool activated_ = false;
  bool closing_ = false;
};

}  // namespace velnor
