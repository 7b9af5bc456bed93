// Reference-line scoring and the choice of the line offset.
#include <gtest/gtest.h>

#include "locate/grid_lines.h"

namespace {

using AztecCore::LineSamples;
using AztecCore::lineScore;
using AztecCore::LineScores;
using AztecCore::pickLineOffset;

// Modules alternating every five samples, starting `phase` samples into a module.
LineSamples alternating(int phase, std::int32_t dark, std::int32_t light) {
    LineSamples s{};
    for (int k = 0; k < 81; ++k) s[static_cast<std::size_t>(k)] = ((k + phase) / 5) % 2 == 0 ? dark : light;
    return s;
}

TEST(LineScore, PerfectAlternationScoresZeroAtAnyPhase) {
    for (int phase = 0; phase < 5; ++phase) EXPECT_EQ(lineScore(alternating(phase, 10, 240)), 0) << phase;
}

TEST(LineScore, CountsModulesThatBreakTheAlternation) {
    LineSamples s = alternating(0, 10, 240);
    for (int k = 25; k < 30; ++k) s[static_cast<std::size_t>(k)] = 10;  // one light module turned dark
    EXPECT_EQ(lineScore(s), 1);
    for (int k = 45; k < 50; ++k) s[static_cast<std::size_t>(k)] = 10;  // and another
    EXPECT_EQ(lineScore(s), 2);
}

TEST(LineScore, TooLittleContrastScoresMinusOne) {
    EXPECT_EQ(lineScore(alternating(0, 100, 131)), -1);  // max - min below 32
    EXPECT_EQ(lineScore(alternating(0, 100, 132)), 0);
}

TEST(LineScore, ShortLinesWithinTheSymbol) {
    const LineSamples s = alternating(0, 0, 255);
    EXPECT_EQ(lineScore(s.data(), 30), 0);
    EXPECT_EQ(lineScore(s.data(), 8), 0);   // a module and a bit: no contradiction yet
    EXPECT_EQ(lineScore(s.data(), 3), -1);  // within one module: no contrast at all
}

TEST(PickLineOffset, NothingScoredKeepsThePrediction) {
    // The predicted line is the middle one of the 19 offsets.
    LineScores all{};
    all.fill(-1);
    EXPECT_EQ(pickLineOffset(all), 9);
}

TEST(PickLineOffset, MiddleOfTheBestRun) {
    LineScores s{};
    s.fill(9);
    for (int k = 6; k <= 10; ++k) s[static_cast<std::size_t>(k)] = 0;
    EXPECT_EQ(pickLineOffset(s), 8);
}

TEST(PickLineOffset, RunsOfFiveOutweighLongerAndShorterOnes) {
    LineScores s{};
    s.fill(8);
    s[1] = 0;  // a single perfect line scores 1/5 of its strength
    for (int k = 8; k <= 12; ++k) s[static_cast<std::size_t>(k)] = 1;
    EXPECT_EQ(pickLineOffset(s), 10);
}

TEST(PickLineOffset, UnjudgedOffsetsTakeNoPartInTheLimit) {
    // A line seen at offsets 2..6 among weaker scores; whether offset 0 is too
    // flat to judge or scores like the rest must not change the pick.
    for (const std::int32_t first : {-1, 6}) {
        LineScores s{};
        s.fill(6);
        s[0] = first;
        for (int k = 2; k <= 6; ++k) s[static_cast<std::size_t>(k)] = 1;
        EXPECT_EQ(pickLineOffset(s), 4) << "score at offset 0: " << first;
    }
}

TEST(PickLineOffset, RunOpenAtTheEndCounts) {
    LineScores s{};
    s.fill(9);
    for (int k = 14; k <= 18; ++k) s[static_cast<std::size_t>(k)] = 0;
    EXPECT_EQ(pickLineOffset(s), 16);
}

}  // namespace
