#pragma once
// One run per component at a time.
#include <chrono>

#include "app/run_state.h"
#include "platform/folder_lock.h"

namespace velnor {

// How long a silent run waits for another run of its component to end.
inline constexpr std::chrono::seconds kSilentLockWait{60};

// Takes the run's lock on its component folder (the base folder when there is none)
// before anything of the project is read, and then removes what runs killed while
// writing left behind. A silent run waits up to silentWait for another run; with a
// window it does not wait, as a person is there to start it again. When another run
// still holds the lock, it says so and ends the program (exit status 1) without
// touching the project. A folder that cannot be locked at all is run without the lock.
FolderLock LockTheRun(const RunState& run, std::chrono::milliseconds silentWait = kSilentLockWait);

}  // namespace velnor
