#pragma once
// Runs this program again as a child process and collects what it prints:
// the memory measurements take each reading in a fresh process, so that no
// other call's memory is counted.
#include <string>
#include <vector>

namespace talavex_bench {

struct ChildRun {
    std::string output;  // its standard output
    bool exited = false;
    int exitCode = -1;    // when exited
    int signal = 0;       // the signal that ended it, if one did (SIGALRM: out of time)
    std::string failure;  // why it could not be started, if it could not
};

// `self args...`, killed by SIGALRM after `timeoutSeconds` (0: never).
ChildRun runSelf(const std::string& self, const std::vector<std::string>& args, unsigned timeoutSeconds = 0);

// In the child: a "Vm...:  1234 kB" line of /proc/self/status, or -1.
long statusKiB(const std::string& key);

}  // namespace talavex_bench
