#include "app/save_inputs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "app/edit_info.h"
#include "app/generations.h"
#include "app/info_masks.h"
#include "app/locations.h"
#include "app/machines.h"
#include "errors/failure.h"
#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "settings/ini_access.h"

namespace velnor {
namespace {

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

// Adds a chosen warning to its mask. A number that names no key fails on the key.
void AddWarning(WarningMasks& masks, int number) {
  const MaskPlace place = PlaceOfWarning(number);
  std::int32_t& mask =
      place.machine > 0 ? masks.Machine(place.machine, place.key) : masks.Standard(place.key);
  mask |= std::int32_t{1} << place.bit;
}

// The settings file written to: the existing "program.ini" of the project's parameter
// folder, or a new one there, so that the choices are never dropped for want of a
// file. Nothing when the parameter folder itself is missing (reported).
std::string SettingsFileForWriting(const RunState& run) {
  if (!run.programIniForWriting.empty()) return run.programIniForWriting;
  const std::string folder = JoinPath(run.baseFolder, "parameter");
  if (!FolderExists(folder)) {
    Raise(failure_number::kPathNotFound, "The settings cannot be saved: the folder '" + folder +
                                             "' for 'Program.ini' does not exist");
  }
  return ProgramIniWritePath(run);
}

}  // namespace

void WriteInputs(const RunState& run, const std::vector<int>& chosenButtons,
                 const std::vector<int>& chosenWarnings) {
  Procedure proc("WriteInputs");
  std::string settings;
  proc.Step([&] { settings = SettingsFileForWriting(run); });

  // The keys are gathered and written in one replacement of the file, so that a crash
  // leaves either all of this save's keys or none of them.
  std::vector<ProfileEntry> entries;
  auto save = [&](std::int32_t mask, const std::string& key) {
    entries.push_back({"Info", key, std::to_string(mask)});
  };

  const auto chosen = [&](int number) {
    return std::find(chosenButtons.begin(), chosenButtons.end(), number) != chosenButtons.end();
  };
  for (int key = 1; key <= kButtonKeys; ++key) {
    proc.Step([&] {
      std::int32_t mask = 0;
      for (int bit = 0; bit < kBitsPerMask; ++bit) {
        if (chosen(ChoiceNumber(0, key, bit))) mask |= std::int32_t{1} << bit;
      }
      save(mask, ButtonKey(key));
    });
  }

  // A warning without a key (a machine beyond the mask table) cannot be chosen on the
  // page, which tells of it when it is built; it is left out here without a second word.
  WarningMasks masks;
  for (const int number : chosenWarnings) {
    if (!WarningChoiceStorable(number)) continue;
    proc.Step([&] { AddWarning(masks, number); });
  }

  for (int key = 1; key <= kStandardWarningKeys; ++key) {
    proc.Step([&] { save(masks.Standard(key), StandardWarningKey(key)); });
  }

  // The keys of a machine beyond the mask table are left as they are.
  const int machines = std::min(MachineCount(run.machines), kSavedMachines);
  for (int machine = 1; machine <= machines; ++machine) {
    for (int key = 1; key <= kMachineWarningKeys; ++key) {
      proc.Step([&] {
        save(masks.Machine(machine, key),
             MachineWarningKey(run.machines[static_cast<std::size_t>(machine)], key));
      });
    }
  }

  // A key that cannot be written does not keep the others from being written; the keys
  // that failed are reported together, naming the file.
  std::vector<std::string> unwritten;
  proc.Step([&] {
    if (!settings.empty()) unwritten = SaveIniEntries(entries, settings, KeepingBeforeWriting(run));
  });
  proc.Step([&] {
    if (unwritten.empty()) return;
    const std::string keys = Join(unwritten, ", ");
    Raise(failure_number::kPathNotFound,
          "The settings " + keys + " could not be written to '" + settings + "'");
  });

  proc.Step([&] { WriteEditInfo(run); });
}

}  // namespace velnor
