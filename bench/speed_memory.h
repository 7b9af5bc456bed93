#pragma once
// Peak memory rise of one export call: how far the resident high-water mark
// climbs above the resident size at the call, the input already in memory.
// Each build is measured in a fresh process (this program run again), so that
// neither sees memory the other's calls or the report's images left behind.
#include <string>
#include <vector>

#include "speed_library.h"

namespace talavex_bench {

struct MemoryScenario {
    const char* name;
    Export which;
    SpeedImage (*make)();
};

// A frame pass on a 12-megapixel frame and a photo pass on a 12-megapixel
// photo, both without a symbol.
const std::vector<MemoryScenario>& memoryScenarios();

// In the child: makes the scenario's image, loads the build, prints the rise
// in KiB on stdout. Returns the process's exit status.
int runMemoryChild(const std::string& libraryPath, const std::string& scenario);

// In the report: runs `self --memory-child library scenario` and returns the
// rise in KiB, or -1 when the child failed.
long measurePeakRise(const std::string& self, const std::string& libraryPath, const std::string& scenario);

}  // namespace talavex_bench
