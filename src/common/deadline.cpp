#include "common/deadline.h"

#include <chrono>
#include <utility>

namespace AztecCore {

Deadline::Deadline(std::int64_t budgetNanoseconds, Clock clock) : clock_(std::move(clock)) {
    end_ = clock_() + budgetNanoseconds;
}

std::int64_t Deadline::steadyNanoseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

const Deadline& Deadline::none() {
    static const Deadline unlimited;
    return unlimited;
}

void Deadline::check() const {
    if (!clock_) return;
    unchecked_ = 0;
    if (clock_() >= end_) throw OutOfTime{};
}

}  // namespace AztecCore
