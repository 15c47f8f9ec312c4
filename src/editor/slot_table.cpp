#include "editor/slot_table.h"

#include "app/info_masks.h"
#include "errors/failure.h"

namespace velnor {
namespace {

void RequireTab(int tab) {
  if (tab < 1 || tab > kTabCount) {
    Raise(failure_number::kSubscriptOutOfRange,
          "Tab " + std::to_string(tab) + " does not exist; the page has tabs 1 and 2");
  }
}

void RequireSlot(int tab, int slot) {
  RequireTab(tab);
  if (slot < 1 || slot > kSlotsPerTab) {
    Raise(failure_number::kSubscriptOutOfRange,
          "Slot " + std::to_string(slot) + " of tab " + std::to_string(tab) + " lies outside the " +
              std::to_string(kSlotsPerTab) + " slots of the page");
  }
}

}  // namespace

Slot& SlotTable::At(int tab, int slot) {
  RequireSlot(tab, slot);
  return slots_[static_cast<std::size_t>(tab - 1)][static_cast<std::size_t>(slot - 1)];
}

const Slot& SlotTable::At(int tab, int slot) const {
  RequireSlot(tab, slot);
  return slots_[static_cast<std::size_t>(tab - 1)][static_cast<std::size_t>(slot - 1)];
}

std::int16_t SlotTable::Count(int tab) const {
  RequireTab(tab);
  return counts_[static_cast<std::size_t>(tab - 1)];
}

Slot& SlotTable::Add(int tab) {
  RequireTab(tab);
  std::int16_t& count = counts_[static_cast<std::size_t>(tab - 1)];
  if (count >= kSlotsPerTab) {
    Raise(failure_number::kSubscriptOutOfRange,
          "Tab " + std::to_string(tab) + " has no slot left for another picture or row: a page " +
              "holds " + std::to_string(kSlotsPerTab) + " slots");
  }
  Slot& slot = At(tab, count + 1);
  ++count;
  slot = Slot{};
  return slot;
}

void SlotTable::Clear() {
  for (auto& tab : slots_) tab.fill(Slot{});
  counts_.fill(0);
}

std::vector<int> SlotTable::ChosenButtons() const {
  std::vector<int> chosen;
  for (int slot = 1; slot <= kButtonKeys * kBitsPerMask; ++slot) {
    if (At(kTabButtons, slot).selected == 1) chosen.push_back(slot);
  }
  return chosen;
}

std::vector<int> SlotTable::ChosenWarnings() const {
  std::vector<int> chosen;
  for (int slot = 1; slot <= Count(kTabWarnings); ++slot) {
    const Slot& warning = At(kTabWarnings, slot);
    if (warning.selected == 1) chosen.push_back(warning.number);
  }
  return chosen;
}

bool ChoiceStorable(int tab, const Slot& slot) {
  return tab == kTabButtons ? ButtonChoiceStorable(slot.number)
                            : WarningChoiceStorable(slot.number);
}

std::string SlotCaption(int tab, int number, const std::vector<std::string>& machines) {
  if (tab == kTabButtons) return "Info button " + std::to_string(number);
  const MaskPlace place = PlaceOfWarning(number);
  const int warning = number - place.machine * 100;
  if (place.machine == 0) return "Warning " + std::to_string(warning);
  const auto machine = static_cast<std::size_t>(place.machine);
  const std::string name = machine < machines.size() ? machines[machine] : std::to_string(machine);
  return "Warning " + std::to_string(warning) + " of machine " + name;
}

}  // namespace velnor
