#include "speed_memory.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "speed_classes.h"

namespace talavex_bench {

namespace {

SpeedImage frameScenario() { return clutterFrame(4096, 3072, 41); }
SpeedImage photoScenario() { return clutterPhoto(4032, 3024, 21); }

// A "Vm...:  1234 kB" line of /proc/self/status, or -1.
long statusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size() + 1, key + ":") == 0) return std::atol(line.c_str() + key.size() + 1);
    }
    return -1;
}

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
    int fds[2];
    if (pipe(fds) != 0) return -1;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(self.c_str(), self.c_str(), "--memory-child", libraryPath.c_str(), scenario.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string output;
    char buffer[64];
    ssize_t got = 0;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<std::size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || output.empty()) return -1;
    return std::atol(output.c_str());
}

}  // namespace talavex_bench
