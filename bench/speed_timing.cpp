#include "speed_timing.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace talavex_bench {

namespace {

using Clock = std::chrono::steady_clock;

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

CallTime timeCall(const TalavexLibrary& library, Export which, const SpeedImage& image) {
    const auto start = Clock::now();
    const std::string answer = library.recognize(which, image);
    CallTime time;
    time.millis = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    time.answer = answerHash(answer);
    return time;
}

CallTime timeCallInChild(const TalavexLibrary& library, Export which, const SpeedImage& image, double timeoutSeconds) {
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
        const CallTime time = timeCall(library, which, image);
        const bool ok = write(fds[1], &time, sizeof time) == static_cast<ssize_t>(sizeof time);
        _exit(ok ? 0 : 1);
    }
    close(fds[1]);
    pollfd waitFor{fds[0], POLLIN, 0};
    const int ready = poll(&waitFor, 1, static_cast<int>(timeoutSeconds * 1000.0));
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
