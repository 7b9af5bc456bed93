#pragma once
// Timing of one export call of one build on one image, in this process or,
// for calls that may run for minutes or exhaust memory, in a child process
// that is killed after a timeout.
#include <cstdint>
#include <functional>
#include <string>

#include "speed_library.h"

namespace talavex_bench {

struct CallTime {
    double millis = 0.0;
    bool timedOut = false;     // millis is then the timeout
    std::uint64_t answer = 0;  // hash of the returned text, to compare builds
};

// The call's own CPU time (the library starts no threads) is what the
// report compares: the machines are shared, and a call preempted by another
// process would otherwise count the other's time. Wall time on request.
enum class Clock { ThreadCpu, Wall };

// The hash CallTime::answer holds for `text`.
std::uint64_t answerHash(const std::string& text);

CallTime timeCall(const TalavexLibrary& library, Export which, const SpeedImage& image, Clock clock);

// The same for any call that gives its answer as text (the reader's, say):
// in this process, or in a child as timeCallInChild does.
CallTime timeAnswer(const std::function<std::string()>& call, Clock clock);
CallTime timeAnswerInChild(const std::function<std::string()>& call, Clock clock, double timeoutSeconds);

// The child shares the image with this process (fork, no copy); the call's
// time is taken in the child, which may use `timeoutSeconds` of CPU time. A
// child that dies without answering counts as timed out with an answer of 0.
CallTime timeCallInChild(const TalavexLibrary& library, Export which, const SpeedImage& image, Clock clock,
                         double timeoutSeconds);

}  // namespace talavex_bench
