#include "speed_memory.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "self_child.h"
#include "speed_classes.h"

namespace talavex_bench {

namespace {

SpeedImage frameScenario() { return clutterFrame(4096, 3072, 41); }
SpeedImage photoScenario() { return clutterPhoto(4032, 3024, 21); }

}  // namespace

const std::vector<MemoryScenario>& memoryScenarios() {
    static const std::vector<MemoryScenario> scenarios = {
        {"frame 4096x3072 clutter", Export::Y, frameScenario},
        {"photo 4032x3024 no symbol", Export::PhotoBGRA, photoScenario},
    };
    return scenarios;
}

int runMemoryChild(const std::string& libraryPath, const std::string& scenario) {
    const MemoryScenario* s = nullptr;
    for (const MemoryScenario& candidate : memoryScenarios()) {
        if (scenario == candidate.name) s = &candidate;
    }
    if (!s) return 2;
    const SpeedImage image = s->make();
    const TalavexLibrary library(libraryPath);
    // Hand back what making the image freed, then start the high-water mark
    // afresh at the present size ("5": reset the peak; Linux 4.0 and later).
    malloc_trim(0);
    long before = statusKiB("VmHWM");
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";
        reset.flush();
        if (reset) before = statusKiB("VmRSS");
    }
    library.recognize(s->which, image);
    const long after = statusKiB("VmHWM");
    if (before < 0 || after < 0) return 1;
    std::printf("%ld\n", after - before);
    return 0;
}

long measurePeakRise(const std::string& self, const std::string& libraryPath, const std::string& scenario) {
    const ChildRun run = runSelf(self, {"--memory-child", libraryPath, scenario});
    if (!run.exited || run.exitCode != 0 || run.output.empty()) return -1;
    return std::atol(run.output.c_str());
}

}  // namespace talavex_bench
