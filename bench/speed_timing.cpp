#include "speed_timing.h"

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

namespace talavex_bench {

namespace {

double nowMillis(Clock clock) {
    timespec now{};
    clock_gettime(clock == Clock::ThreadCpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

bool readAll(int fd, void* buffer, std::size_t size) {
    auto* out = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = read(fd, out, size);
        if (got <= 0) return false;
        out += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::uint64_t answerHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

CallTime timeCall(const TalavexLibrary& library, Export which, const SpeedImage& image, Clock clock) {
    return timeAnswer([&] { return library.recognize(which, image); }, clock);
}

CallTime timeCallInChild(const TalavexLibrary& library, Export which, const SpeedImage& image, Clock clock,
                         double timeoutSeconds) {
    return timeAnswerInChild([&] { return library.recognize(which, image); }, clock, timeoutSeconds);
}

CallTime timeAnswer(const std::function<std::string()>& call, Clock clock) {
    const double start = nowMillis(clock);
    const std::string answer = call();
    CallTime time;
    time.millis = nowMillis(clock) - start;
    time.answer = answerHash(answer);
    return time;
}

CallTime timeAnswerInChild(const std::function<std::string()>& call, Clock clock, double timeoutSeconds) {
    CallTime timedOut;
    timedOut.millis = timeoutSeconds * 1000.0;
    timedOut.timedOut = true;
    int fds[2];
    if (pipe(fds) != 0) return timedOut;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return timedOut;
    }
    if (child == 0) {
        close(fds[0]);
        // The limit is on CPU time, like the figures: a loaded machine
        // stretches the wall-clock time of a call, not its CPU time.
        const auto seconds = static_cast<rlim_t>(std::ceil(timeoutSeconds));
        const rlimit cpu{seconds, seconds};
        setrlimit(RLIMIT_CPU, &cpu);
        const CallTime time = timeAnswer(call, clock);
        const bool ok = write(fds[1], &time, sizeof time) == static_cast<ssize_t>(sizeof time);
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    pollfd waitFor{fds[0], POLLIN, 0};
    // Wall-clock backstop for a child that waits instead of computing.
    const int ready = poll(&waitFor, 1, static_cast<int>(timeoutSeconds * 4000.0));
    CallTime time = timedOut;
    if (ready <= 0 || !readAll(fds[0], &time, sizeof time)) {
        time = timedOut;
        kill(child, SIGKILL);
    }
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return time;
}

}  // namespace talavex_bench
