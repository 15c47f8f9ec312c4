#include "editor/save_inputs.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/locations.h"
#include "app/machines.h"
#include "editor/bit_masks.h"
#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/paths.h"
#include "settings/edit_info.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

// The machines whose warning choices can be saved.
constexpr int kSavedMachines = 5;

// The masks that warnings are gathered into before they are written.
class WarningMasks {
 public:
  std::int32_t& Standard(int key) {
    if (key < 1 || key > kStandardWarningKeys) {
      Raise(failure_number::kSubscriptOutOfRange,
            "Standard warning key " + std::to_string(key) + " does not exist");
    }
    return standard_[static_cast<std::size_t>(key - 1)];
  }

  std::int32_t& Machine(int machine, int key) {
    if (machine < 1 || machine > kSavedMachines) {
      Raise(failure_number::kSubscriptOutOfRange,
            "Machine " + std::to_string(machine) + " lies beyond the " +
                std::to_string(kSavedMachines) + " machines whose warnings can be saved");
    }
    if (key < 1 || key > kMachineWarningKeys) {
      Raise(failure_number::kSubscriptOutOfRange,
            "Machine warning key " + std::to_string(key) + " does not exist");
    }
    return machine_[static_cast<std::size_t>(machine - 1)][static_cast<std::size_t>(key - 1)];
  }

 private:
  std::array<std::int32_t, kStandardWarningKeys> standard_{};
  std::array<std::array<std::int32_t, kMachineWarningKeys>, kSavedMachines> machine_{};
};

int FloorDiv(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Adds the warning that a chosen slot of tab 2 stands for to its mask. A number that
// names no key fails on the key.
void AddWarning(WarningMasks& masks, int number) {
  const bool machineWarning = number > 99;
  const int machine = machineWarning ? number / 100 : 0;
  const int rest = number - machine * 100;
  const int key = FloorDiv(rest - 1, kBitsPerMask) + 1;
  const int bit = rest - (key - 1) * kBitsPerMask - 1;
  std::int32_t& mask = machineWarning ? masks.Machine(machine, key) : masks.Standard(key);
  mask |= std::int32_t{1} << bit;
}

// The settings file written to: the existing "program.ini" of the project's parameter
// folder, or a new one there, so that the choices are never dropped for want of a
// file. Nothing when the parameter folder itself is missing (reported).
std::string SettingsFileForWriting() {
  const std::string existing = GetProgramIniPath(2);
  if (!existing.empty()) return existing;
  const std::string folder = JoinPath(BaseFolder(), "parameter");
  if (!FolderExists(folder)) {
    Raise(failure_number::kPathNotFound, "The settings cannot be saved: the folder '" + folder +
                                             "' for 'Program.ini' does not exist");
  }
  return JoinPath(folder, "Program.ini");
}

}  // namespace

void WriteInputs(const SlotTable& table) {
  Procedure proc("WriteInputs");
  std::string settings;
  proc.Step([&] { settings = SettingsFileForWriting(); });

  // A key that cannot be written does not keep the others from being tried; the keys
  // that failed are reported together at the end, naming the file.
  std::vector<std::string> unwritten;
  auto save = [&](std::int32_t mask, const std::string& key) {
    if (settings.empty()) return;
    if (SaveIni(std::to_string(mask), "Info", key, settings) == 0) unwritten.push_back(key);
  };

  for (int key = 1; key <= kButtonKeys; ++key) {
    proc.Step([&] {
      std::int32_t mask = 0;
      for (int bit = 0; bit < kBitsPerMask; ++bit) {
        if (table.At(kTabButtons, (key - 1) * kBitsPerMask + bit + 1).selected == 1) {
          mask |= std::int32_t{1} << bit;
        }
      }
      save(mask, "Button" + std::to_string(key));
    });
  }

  WarningMasks masks;
  const int warningSlots = table.Count(kTabWarnings);
  for (int slot = 1; slot <= warningSlots; ++slot) {
    proc.Step([&] {
      const Slot& warning = table.At(kTabWarnings, slot);
      if (warning.selected == 1) AddWarning(masks, warning.number);
    });
  }

  for (int key = 1; key <= kStandardWarningKeys; ++key) {
    proc.Step([&] { save(masks.Standard(key), "StandardWarning" + std::to_string(key)); });
  }

  // A machine beyond the mask table fails here for each of its keys, which are then
  // left as they are.
  const int machines = MachineCount();
  for (int machine = 1; machine <= machines; ++machine) {
    for (int key = 1; key <= kMachineWarningKeys; ++key) {
      proc.Step([&] {
        save(masks.Machine(machine, key), "MachineWarning_" +
                                              MachineList[static_cast<std::size_t>(machine)] + "_" +
                                              std::to_string(key));
      });
    }
  }

  proc.Step([&] {
    if (unwritten.empty()) return;
    std::string keys;
    for (const std::string& key : unwritten) keys += (keys.empty() ? "" : ", ") + key;
    Raise(failure_number::kPathNotFound,
          "The settings " + keys + " could not be written to '" + settings + "'");
  });

  proc.Step([] { WriteEditInfo(); });
}

}  // namespace velnor
