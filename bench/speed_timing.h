#pragma once
// Timing of one export call of one build on one image, in this process or,
// for calls that may run for minutes or exhaust memory, in a child process
// that is killed after a timeout.
#include <cstdint>
#include <string>

#include "speed_library.h"

namespace talavex_bench {

struct CallTime {
    double millis = 0.0;
    bool timedOut = false;     // millis is then the timeout
    std::uint64_t answer = 0;  // hash of the returned text, to compare builds
};

// The hash CallTime::answer holds for `text`.
std::uint64_t answerHash(const std::string& text);

CallTime timeCall(const TalavexLibrary& library, Export which, const SpeedImage& image);

// The child shares the image with this process (fork, no copy); the call's
// time is taken in the child. A child that dies without answering counts as
// timed out with an answer of 0.
CallTime timeCallInChild(const TalavexLibrary& library, Export which, const SpeedImage& image, double timeoutSeconds);

}  // namespace talavex_bench
