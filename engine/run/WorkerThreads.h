#pragma once
// The four worker threads of a run.
#include <windows.h>

#include <memory>

#include "run/Run.h"

namespace engine::run {

// Creates the run's four workers, two of them time-critical (the process then runs at the
// real-time priority class), counts them into the run and into liveThreads before any of them
// runs, and lets them go; the run is theirs from then on. Each keeps the engine's module loaded while it runs and counts itself
// off liveThreads as it ends. 1 when all four started; 0 when one could not be created (the
// ones made before it still run, and the last of them packs).
int StartWorkers(std::shared_ptr<Run> run, volatile LONG* liveThreads);

}  // namespace engine::run
