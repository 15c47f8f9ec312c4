#pragma once
// The page behind the window: per tab 150 slots, each one grid position. Tab 1
// ("Schalter") holds the info buttons, tab 2 ("Symbole") the warnings.
#include <QImage>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velnor {

inline constexpr int kTabButtons = 1;
inline constexpr int kTabWarnings = 2;
inline constexpr int kTabCount = 2;
inline constexpr int kSlotsPerTab = 150;
inline constexpr int kCellsPerRow = 8;

struct Slot {
  QImage picture;             // SlotPicture; null for none
  QImage source;              // the picture as loaded, for drawing it sharp at any scale
  bool filled = false;        // SlotFilled: holds a real picture to show
  std::int16_t number = 0;    // SlotNumber: button number, warning n, machine m: m*100+n
  std::string machine;        // SlotMachine: name on the first slot of a machine's heading row
  std::int16_t selected = 0;  // SlotSelected: only 1 counts as chosen
};

class SlotTable {
 public:
  // The slot, tab 1..2 and slot 1..150; anything else is a reported failure.
  Slot& At(int tab, int slot);
  const Slot& At(int tab, int slot) const;

  // SlotCount: the slots in use on a tab.
  std::int16_t Count(int tab) const;

  // Takes the next slot of the tab into use. A tab that already uses all its slots
  // fails and keeps its count, so nothing is stored beyond slot 150.
  Slot& Add(int tab);

  // Empties both tabs.
  void Clear();

  // The numbers of the chosen info buttons: the chosen slots among the first 96 of
  // tab 1, whether they show a picture or not, since their choices are stored all the
  // same.
  std::vector<int> ChosenButtons() const;
  // The numbers of the chosen warnings, in slot order.
  std::vector<int> ChosenWarnings() const;

 private:
  std::array<std::array<Slot, kSlotsPerTab>, kTabCount> slots_{};
  std::array<std::int16_t, kTabCount> counts_{};
};

// Whether the slot's choice has a place in the stored keys; one that has none cannot
// be switched, since the choice would be lost on saving.
bool ChoiceStorable(int tab, const Slot& slot);

// What a slot's picture shows, as a person would name it: "Info button 12", "Warning 3",
// "Warning 3 of machine Filler".
std::string SlotCaption(int tab, int number, const std::vector<std::string>& machines);

}  // namespace velnor
