#include "reedsolomon/rs_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

#include "reedsolomon/exceptions.h"
#include "reedsolomon/generic_gf.h"
#include "support/rs_encoder.h"

namespace {

using namespace Aztec::ReedSolomon;
using Word = std::vector<std::int32_t>;

struct CodeShape {
    const char* name;
    const GenericGF* field;
    int n;     // codewords in the block
    int twoS;  // check words among them
    int trials;
};

Word randomData(std::mt19937& rng, const GenericGF& field, int count) {
    std::uniform_int_distribution<std::int32_t> element(0, field.size() - 1);
    Word data(static_cast<std::size_t>(count));
    for (auto& v : data) v = element(rng);
    return data;
}

// Changes `count` distinct words of `word` to other values.
void corrupt(std::mt19937& rng, const GenericGF& field, Word& word, int count) {
    std::vector<int> positions(word.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::shuffle(positions.begin(), positions.end(), rng);
    positions.resize(static_cast<std::size_t>(count));
    std::uniform_int_distribution<std::int32_t> nonZero(1, field.size() - 1);
    for (int p : positions) word[static_cast<std::size_t>(p)] ^= nonZero(rng);
}

bool isKnownDecodingFailure(const char* message) {
    for (const char* known : {"r_{i-1} was zero", "sigmaTilde(0) was zero",
                              "Error locator degree does not match number of roots", "Bad error location"}) {
        if (std::strcmp(message, known) == 0) return true;
    }
    return false;
}

const CodeShape kShapes[] = {
    {"GF16_compact_mode_7_5", &Field16, 7, 5, 200},
    {"GF16_full_mode_10_6", &Field16, 10, 6, 200},
    {"GF16_whole_15_8", &Field16, 15, 8, 100},
    {"GF16_one_check_word", &Field16, 6, 1, 20},
    {"GF64_17_9", &Field64, 17, 9, 60},
    {"GF64_40_16", &Field64, 40, 16, 40},
    {"GF64_whole_63_20", &Field64, 63, 20, 40},
    {"GF256_104_30", &Field256, 104, 30, 25},
    {"GF256_whole_255_32", &Field256, 255, 32, 15},
    {"GF1024_300_60", &Field1024, 300, 60, 10},
    {"GF1024_whole_1023_16", &Field1024, 1023, 16, 6},
    {"GF4096_1437_64", &Field4096, 1437, 64, 5},
    {"GF4096_short_40_11", &Field4096, 40, 11, 10},
};

TEST(RsDecoderShapes, EncoderProducesCodewords) {
    for (const CodeShape& s : kShapes) {
        SCOPED_TRACE(s.name);
        std::mt19937 rng(static_cast<unsigned>(s.n * 31 + s.twoS));
        const Word codeword = rstest::encode(*s.field, randomData(rng, *s.field, s.n - s.twoS), s.twoS);
        ASSERT_EQ(codeword.size(), static_cast<std::size_t>(s.n));
        EXPECT_TRUE(rstest::isCodeword(*s.field, codeword, s.twoS));
        Word copy = codeword;
        EXPECT_EQ(RsDecoder(*s.field).correct(copy, s.twoS), 0);
        EXPECT_EQ(copy, codeword);
    }
}

// Check words for fewer data words are also check words for more; one word
// changed makes it no codeword for any count.
TEST(RsDecoderShapes, IsCodewordForItsOwnAndEveryLargerDataCount) {
    for (const CodeShape& s : kShapes) {
        SCOPED_TRACE(s.name);
        const RsDecoder decoder(*s.field);
        std::mt19937 rng(static_cast<unsigned>(s.n * 7 + s.twoS));
        const Word codeword = rstest::encode(*s.field, randomData(rng, *s.field, s.n - s.twoS), s.twoS);
        for (int fewer = 0; fewer <= s.twoS; ++fewer) EXPECT_TRUE(decoder.isCodeword(codeword, fewer)) << fewer;
        if (s.twoS < s.n) {
            EXPECT_EQ(decoder.isCodeword(codeword, s.twoS + 1), rstest::isCodeword(*s.field, codeword, s.twoS + 1));
        }
        Word damaged = codeword;
        corrupt(rng, *s.field, damaged, 1);
        EXPECT_FALSE(decoder.isCodeword(damaged, s.twoS));
        EXPECT_FALSE(decoder.isCodeword(damaged, 1));
    }
}

void checkRepairsWithinCapacity(const CodeShape& s) {
    const RsDecoder decoder(*s.field);
    std::mt19937 rng(static_cast<unsigned>(s.n * 1009 + s.twoS));
    const int capacity = s.twoS / 2;
    for (int trial = 0; trial < s.trials; ++trial) {
        const Word codeword = rstest::encode(*s.field, randomData(rng, *s.field, s.n - s.twoS), s.twoS);
        // Always include the full capacity and a single error; the rest vary.
        const int errors = trial == 0 ? capacity : trial == 1 ? std::min(1, capacity) : trial % (capacity + 1);
        Word received = codeword;
        corrupt(rng, *s.field, received, errors);
        int corrected = -1;
        ASSERT_NO_THROW(corrected = decoder.correct(received, s.twoS))
            << "trial " << trial << ", " << errors << " errors";
        EXPECT_EQ(corrected, errors) << "trial " << trial;
        ASSERT_EQ(received, codeword) << "trial " << trial << ", " << errors << " errors";
    }
}

TEST(RsDecoderShapes, RepairsUpToHalfTheCheckWordsAnywhere) {
    for (const CodeShape& s : kShapes) {
        SCOPED_TRACE(s.name);
        checkRepairsWithinCapacity(s);
    }
}

// Beyond capacity the outcome must still be clean: a decoding failure with one
// of the known messages, or a return that changed at most as many words as it
// reports and left a valid codeword (possibly the wrong one: a miscorrection
// that no decoder can detect). A non-codeword must never come back as corrected.
void checkOverloadFailsCleanly(const CodeShape& s) {
    const RsDecoder decoder(*s.field);
    std::mt19937 rng(static_cast<unsigned>(s.n * 7 + s.twoS * 13));
    const int capacity = s.twoS / 2;
    int failures = 0;
    for (int trial = 0; trial < s.trials; ++trial) {
        const Word codeword = rstest::encode(*s.field, randomData(rng, *s.field, s.n - s.twoS), s.twoS);
        const int errors = std::min(s.n, capacity + 1 + trial % 3);
        Word received = codeword;
        corrupt(rng, *s.field, received, errors);
        const Word before = received;
        try {
            const int corrected = decoder.correct(received, s.twoS);
            EXPECT_GE(corrected, 0);
            EXPECT_LE(corrected, (s.twoS + 1) / 2);
            const auto changed = std::inner_product(received.begin(), received.end(), before.begin(), 0, std::plus<>(),
                                                    std::not_equal_to<>());
            EXPECT_LE(changed, corrected) << "trial " << trial;
            EXPECT_TRUE(rstest::isCodeword(*s.field, received, s.twoS)) << "trial " << trial;
        } catch (const ReedSolomonException& e) {
            ++failures;
            EXPECT_TRUE(isKnownDecodingFailure(e.what())) << e.what();
        }
    }
    EXPECT_GT(failures, s.trials / 2) << "overloaded blocks should mostly be detected";
}

TEST(RsDecoderShapes, TooManyErrorsFailCleanly) {
    for (const CodeShape& s : kShapes) {
        SCOPED_TRACE(s.name);
        checkOverloadFailsCleanly(s);
    }
}

// Exhaustive single errors and pairs on the two mode-message shapes: every
// position, every value, so a wrong Forney factor cannot hide.
TEST(RsDecoder, ModeMessageShapesRepairEverySingleAndDoubleError) {
    const RsDecoder decoder(Field16);
    std::mt19937 rng(5);
    for (const auto& [n, twoS] : {std::pair{7, 5}, std::pair{10, 6}}) {
        const Word codeword = rstest::encode(Field16, randomData(rng, Field16, n - twoS), twoS);
        for (int p = 0; p < n; ++p) {
            for (std::int32_t delta = 1; delta < 16; ++delta) {
                Word received = codeword;
                received[static_cast<std::size_t>(p)] ^= delta;
                ASSERT_EQ(decoder.correct(received, twoS), 1) << "p=" << p << " delta=" << delta;
                ASSERT_EQ(received, codeword) << "p=" << p << " delta=" << delta;
            }
            for (int q = p + 1; q < n; ++q) {
                for (std::int32_t delta = 1; delta < 16; delta += 4) {
                    Word received = codeword;
                    received[static_cast<std::size_t>(p)] ^= delta;
                    received[static_cast<std::size_t>(q)] ^= 16 - delta;
                    ASSERT_EQ(decoder.correct(received, twoS), 2) << "p=" << p << " q=" << q;
                    ASSERT_EQ(received, codeword) << "p=" << p << " q=" << q;
                }
            }
        }
    }
}

TEST(RsDecoder, NoCheckWordsReturnsTheLengthUntouched) {
    Word received(17);
    std::iota(received.begin(), received.end(), 3);
    const Word before = received;
    const RsDecoder decoder(Field64);
    EXPECT_EQ(decoder.correct(received, 0), 17);
    EXPECT_EQ(decoder.correct(received, -4), 17);
    EXPECT_EQ(received, before);
    Word empty;
    EXPECT_EQ(decoder.correct(empty, 0), 0);
}

// Words outside the field take the checked evaluation, which fails with
// std::out_of_range.
TEST(RsDecoder, WordsOutsideTheFieldAreOutOfRange) {
    const Word codeword = rstest::encode(Field16, {1, 2, 3}, 4);
    struct Case {
        const char* name;
        std::size_t position;
        std::int32_t value;
    };
    for (const Case& c : {Case{"beyond the field", 1, 16}, Case{"negative", 0, -1}}) {
        Word received = codeword;
        received[c.position] = c.value;
        EXPECT_THROW(RsDecoder(Field16).correct(received, 4), std::out_of_range) << c.name;
    }
}

TEST(RsDecoder, ZeroSyndromesReturnZero) {
    Word zeros(12, 0);
    EXPECT_EQ(RsDecoder(Field256).correct(zeros, 6), 0);
    EXPECT_EQ(zeros, Word(12, 0));
}

TEST(RsDecoder, LeadingZeroWordsDoNotDisturbCorrection) {
    const RsDecoder decoder(Field64);
    const Word codeword = rstest::encode(Field64, {0, 0, 0, 0, 17, 40, 3}, 8);
    // The corrupted word may be one of the leading zeros themselves.
    for (int p : {0, 3, 5, 14}) {
        Word received = codeword;
        received[static_cast<std::size_t>(p)] ^= 0x2A;
        received[9] ^= 1;
        EXPECT_EQ(decoder.correct(received, 8), 2) << "p=" << p;
        EXPECT_EQ(received, codeword) << "p=" << p;
    }
}

// In a shortened block the single-error shortcut can name a position that the
// block does not have: the remainder of x^14 by the generator looks, to a
// 7-word block, exactly like one error at x^14.
TEST(RsDecoder, LocationBeforeTheFirstWordIsABadErrorLocation) {
    const int twoS = 5;
    Word unitMessage(15 - twoS, 0);
    unitMessage[0] = 1;
    const Word full = rstest::encode(Field16, unitMessage, twoS);
    const Word received(full.end() - 7, full.end());
    Word attempt = received;
    try {
        RsDecoder(Field16).correct(attempt, twoS);
        ADD_FAILURE() << "no exception";
    } catch (const ReedSolomonException& e) {
        EXPECT_STREQ(e.what(), "Bad error location");
    }
    EXPECT_EQ(attempt, received);
    // The same word at full length is a codeword with one error in its first word.
    Word whole(15, 0);
    std::copy(received.begin(), received.end(), whole.end() - 7);
    EXPECT_EQ(RsDecoder(Field16).correct(whole, twoS), 1);
    EXPECT_EQ(whole, full);
}

TEST(RsDecoder, OneCheckWordDetectsButCannotRepair) {
    const Word codeword = rstest::encode(Field256, {9, 8, 7, 6}, 1);
    Word received = codeword;
    received[2] ^= 0x55;
    const Word before = received;
    try {
        RsDecoder(Field256).correct(received, 1);
        ADD_FAILURE() << "no exception";
    } catch (const ReedSolomonException& e) {
        EXPECT_STREQ(e.what(), "r_{i-1} was zero");
    }
    EXPECT_EQ(received, before);
}

}  // namespace
