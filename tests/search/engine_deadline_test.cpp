// A search stopped by its deadline at every point where it reads the clock
// (an injected one, which counts its readings): it stops at the first reading
// past the deadline, unwinds cleanly and keeps what it had read by then.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "search/engine.h"
#include "support/aztec_encoder.h"
#include "support/render.h"

namespace AztecCore {
namespace {

struct CountingClock {
    std::int64_t readings = 0;
    Deadline::Clock clock() {
        return [this] { return readings++; };
    }
};

std::vector<std::string> texts(const SearchResult& result) {
    std::vector<std::string> out;
    for (const FoundSymbol& f : result.reads)
        out.emplace_back(f.symbol.data.text.bytes.begin(), f.symbol.data.text.bytes.end());
    return out;
}

TEST(EngineDeadline, StopsAtTheFirstClockReadingPastItWhereverThatFalls) {
    // Two symbols away from the centre, with light on dark searched for too:
    // the search runs its centre, position and inverted passes, reads one
    // symbol, blanks it and searches again.
    talavex_test::GrayImage image = talavex_test::blankImage(360, 240, 200);
    talavex_test::RenderOptions render;
    render.moduleSize = 3;
    talavex_test::drawSymbol(image, talavex_test::encodeAztec("FIRST"), 80, 70, render);
    talavex_test::drawSymbol(image, talavex_test::encodeAztec("SECOND"), 270, 170, render);
    const Image::GrayBuf gray(image.pixels.data(), image.width, image.height);
    ReadOptions options;
    options.maxSymbols = 2;
    options.inverted = true;
    const Plan plan = readerPlan(options);

    CountingClock unlimited;
    const SearchResult full = runPlan(plan, gray, Deadline(std::int64_t{1} << 40, unlimited.clock()));
    ASSERT_FALSE(full.outOfTime);
    ASSERT_EQ(texts(full), (std::vector<std::string>{"FIRST", "SECOND"}));
    const std::int64_t readings = unlimited.readings;
    ASSERT_GT(readings, 20);

    const std::vector<std::string> all = texts(full);
    const std::int64_t stride = std::max<std::int64_t>(1, readings / 80);
    for (std::int64_t budget = 1; budget < readings; budget += stride) {
        CountingClock time;
        const SearchResult cut = runPlan(plan, gray, Deadline(budget, time.clock()));
        EXPECT_TRUE(cut.outOfTime) << budget;
        EXPECT_EQ(time.readings, budget + 1) << budget;
        const std::vector<std::string> got = texts(cut);
        ASSERT_LE(got.size(), all.size()) << budget;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), all.begin())) << budget;
    }
    CountingClock enough;
    const SearchResult complete = runPlan(plan, gray, Deadline(readings, enough.clock()));
    EXPECT_FALSE(complete.outOfTime);
    EXPECT_EQ(texts(complete), all);
}

}  // namespace
}  // namespace AztecCore
