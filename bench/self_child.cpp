#include "self_child.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace talavex_bench {

ChildRun runSelf(const std::string& self, const std::vector<std::string>& args, unsigned timeoutSeconds) {
    ChildRun run;
    int fds[2];
    if (pipe(fds) != 0) {
        run.failure = "pipe";
        return run;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(self.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        run.failure = "fork";
        return run;
    }
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        if (timeoutSeconds > 0) alarm(timeoutSeconds);
        execv(self.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, static_cast<std::size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    if (WIFEXITED(status)) {
        run.exited = true;
        run.exitCode = WEXITSTATUS(status);
    }
    return run;
}

long statusKiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size() + 1, key + ":") == 0) return std::atol(line.c_str() + key.size() + 1);
    }
    return -1;
}

}  // namespace talavex_bench
