// The deadline on an injected clock: when it reads the clock and when it throws.
#include "common/deadline.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace AztecCore {
namespace {

// A clock that tells how often it was read: its time is that count.
struct CountingClock {
    std::int64_t readings = 0;
    Deadline::Clock clock() {
        return [this] { return readings++; };
    }
};

TEST(Deadline, ThrowsAtTheFirstCheckOnOrAfterItsEnd) {
    CountingClock time;
    const Deadline deadline(3, time.clock());   // read at 0, ends at 3
    EXPECT_NO_THROW(deadline.check());          // 1
    EXPECT_NO_THROW(deadline.check());          // 2
    EXPECT_THROW(deadline.check(), OutOfTime);  // 3
    EXPECT_EQ(time.readings, 4);
}

TEST(Deadline, ReadsTheClockOnlyOnceEnoughWorkIsCounted) {
    CountingClock time;
    const Deadline deadline(1000, time.clock());
    for (int k = 0; k < 4; ++k) deadline.spend(Deadline::kWorkBetweenChecks / 4 - 1);
    EXPECT_EQ(time.readings, 1);
    deadline.spend(4);
    EXPECT_EQ(time.readings, 2);
    // A reading starts the count afresh.
    deadline.spend(Deadline::kWorkBetweenChecks - 1);
    EXPECT_EQ(time.readings, 2);
    deadline.spend(1);
    EXPECT_EQ(time.readings, 3);
}

TEST(Deadline, LongWorkThrowsOnceItsEndHasPassed) {
    CountingClock time;
    const Deadline deadline(2, time.clock());
    deadline.spend(Deadline::kWorkBetweenChecks);  // 1
    EXPECT_THROW(deadline.spend(Deadline::kWorkBetweenChecks), OutOfTime);
}

TEST(Deadline, NoneNeverThrows) {
    const Deadline& none = Deadline::none();
    EXPECT_FALSE(none.limited());
    EXPECT_NO_THROW(none.check());
    EXPECT_NO_THROW(none.spend(std::int64_t{1} << 40));
}

}  // namespace
}  // namespace AztecCore
