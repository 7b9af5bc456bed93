#pragma once
// The time a search may take. The search asks between its steps whether the
// deadline has passed; the long steps inside it (whole-image sweeps, seeding
// squares, enlargements) count their work as they go and look at the clock
// every so much of it. Either way a passed deadline throws OutOfTime, which
// unwinds to the search that set the deadline.
#include <cstdint>
#include <functional>

namespace AztecCore {

// Not a std::exception: the handlers that recover from the library's own
// failures (a fill that runs off the image, a ring that reads as nothing)
// must let it through.
struct OutOfTime {};

class Deadline {
public:
    // Monotonic time in nanoseconds.
    using Clock = std::function<std::int64_t()>;

    // No deadline: nothing ever throws, and counting work costs a test.
    Deadline() = default;
    // `budgetNanoseconds` from now on `clock`'s time.
    Deadline(std::int64_t budgetNanoseconds, Clock clock);
    // The steady clock's time, in nanoseconds.
    static std::int64_t steadyNanoseconds();
    static const Deadline& none();

    bool limited() const { return static_cast<bool>(clock_); }
    // Throws OutOfTime once the deadline has passed.
    void check() const;
    // Counts `work` units (pixels, or the like); the clock is read once
    // kWorkBetweenChecks of them have been counted since the last reading.
    void spend(std::int64_t work) const {
        if (!clock_) return;
        unchecked_ += work;
        if (unchecked_ >= kWorkBetweenChecks) check();
    }

    // About a tenth of a millisecond of the cheapest per-pixel work.
    static constexpr std::int64_t kWorkBetweenChecks = 1 << 16;

private:
    Clock clock_;
    std::int64_t end_ = 0;
    mutable std::int64_t unchecked_ = 0;
};

}  // namespace AztecCore
