// The mode message's data count against the codewords: check words for k
// data words also pass for any larger count, so a repaired mode message that
// claims more data words than were written must not get its claim.
#include <gtest/gtest.h>

#include <ostream>

#include "decode/decode_test_support.h"
#include "reedsolomon/rs_decoder.h"

namespace {

using namespace decode_test;
using AztecCore::correctDataBits;
using AztecCore::fieldForCodewordBits;

BitVector wordBits(const std::vector<std::int32_t>& words, std::uint32_t width) {
    std::string pattern;
    for (const auto w : words) pattern += binary(static_cast<std::uint32_t>(w), static_cast<int>(width));
    return bits(pattern);
}

// `data` followed by check words for it, `total` words in all.
std::vector<std::int32_t> codeword(std::uint32_t width, const std::vector<std::int32_t>& data, std::uint32_t total) {
    return rstest::encode(fieldForCodewordBits(width), data, static_cast<int>(total - data.size()));
}

SymbolParameters claim(std::uint32_t width, std::uint32_t total, std::uint32_t dataWords, std::uint32_t modeRepairs) {
    SymbolParameters params;
    params.kind = SymbolKind::Compact;
    params.codewordBits = width;
    params.totalCodewords = total;
    params.dataCodewords = dataWords;
    params.modeWordsCorrected = modeRepairs;
    return params;
}

struct ClaimCase {
    const char* name;
    std::uint32_t width;
    std::vector<std::int32_t> data;  // the data words written
    std::uint32_t total;
    std::uint32_t claimed;      // the mode message's data count
    std::uint32_t modeRepairs;  // mode words its correction repaired
    bool read;
};
void PrintTo(const ClaimCase& c, std::ostream* os) { *os << c.name; }

// Data words whose check words (for every claim below) are neither all
// zeros nor all ones, so that a claim that is taken also reads.
const std::vector<std::int32_t> kSixBitData = {5, 17, 33, 9, 40, 21, 12, 50};
const std::vector<std::int32_t> kEightBitData = {0x35, 0x8A, 0x11, 0xC4, 0x5E, 0x27};

class DataCountClaim : public ::testing::TestWithParam<ClaimCase> {};

TEST_P(DataCountClaim, IsTakenOnlyWhereTheCodewordsAgree) {
    const ClaimCase& c = GetParam();
    const auto words = codeword(c.width, c.data, c.total);
    const auto params = claim(c.width, c.total, c.claimed, c.modeRepairs);
    const auto read = correctDataBits(wordBits(words, c.width), params);
    ASSERT_EQ(read.has_value(), c.read);
    if (read) {
        EXPECT_EQ(read->bits.size(), std::size_t{c.claimed} * c.width);
    }
}

INSTANTIATE_TEST_SUITE_P(Claims, DataCountClaim,
                         ::testing::Values(ClaimCase{"TrueCountAfterRepair", 6, kSixBitData, 20, 8, 1, true},
                                           ClaimCase{"OneMoreAfterRepair", 6, kSixBitData, 20, 9, 1, false},
                                           ClaimCase{"ManyMoreAfterTwoRepairs", 6, kSixBitData, 20, 17, 2, false},
                                           ClaimCase{"AllButOneAfterRepair", 6, kSixBitData, 20, 19, 1, false},
                                           ClaimCase{"OneMoreFromAnIntactModeMessage", 6, kSixBitData, 20, 9, 0, true},
                                           ClaimCase{"EightBitTrueCountAfterRepair", 8, kEightBitData, 16, 6, 1, true},
                                           ClaimCase{"EightBitMoreAfterRepair", 8, kEightBitData, 16, 11, 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The price of the rule: a true count whose codewords happen to satisfy one
// check equation more (once in 2^width) is refused after a repaired mode
// message, and read from an intact one.
TEST(DataCountClaim, TrueCountWithOneSyndromeMoreVanishingIsRefusedOnlyAfterRepair) {
    const std::uint32_t width = 6;
    const std::uint32_t total = 20;
    const Aztec::ReedSolomon::RsDecoder decoder(fieldForCodewordBits(width));
    std::vector<std::int32_t> data = kSixBitData;
    std::vector<std::int32_t> words;
    // The next syndrome is linear in the last data word, so exactly one
    // value of it makes that syndrome vanish.
    for (data.back() = 1; data.back() < 63; ++data.back()) {
        words = codeword(width, data, total);
        if (decoder.isCodeword(words, static_cast<int>(total - data.size()) + 1)) break;
    }
    ASSERT_LT(data.back(), 63) << "no last word makes one more syndrome vanish";
    const auto size = static_cast<std::uint32_t>(data.size());
    EXPECT_FALSE(correctDataBits(wordBits(words, width), claim(width, total, size, 1)).has_value());
    EXPECT_TRUE(correctDataBits(wordBits(words, width), claim(width, total, size, 0)).has_value());
}

// The symbol behind the wrong read that brought the rule: five modules of its
// mode ring inverted, the ring repaired into a message that claims 30 data
// codewords instead of 17. It used to read as its text followed by its check
// words decoded as text.
TEST(DataCountClaim, RepairedRingOfARealSymbolClaimingMoreIsNotRead) {
    talavex_test::EncodeOptions options;
    options.size = talavex_test::AztecSize::Compact;
    options.layers = 2;
    const std::string text = "RICTQXQVDIYLNCDJWLO";
    ModuleBits modules = toModuleBits(talavex_test::encodeAztec(text, options));
    const auto intact = readModeMessage(modules);
    ASSERT_TRUE(intact.has_value());
    EXPECT_EQ(intact->modeWordsCorrected, 0u);
    ASSERT_EQ(decodeModules(modules), bytesOf(text));

    for (const auto& [x, y] : {std::pair{6, 4}, {12, 4}, {14, 7}, {14, 12}, {7, 14}}) modules[x][y] = !modules[x][y];
    const auto repaired = readModeMessage(modules);
    ASSERT_TRUE(repaired.has_value());
    EXPECT_GT(repaired->modeWordsCorrected, 0u);
    EXPECT_GT(repaired->dataCodewords, intact->dataCodewords);
    EXPECT_FALSE(AztecCore::decodeSymbolDetails(*repaired, modules, true).has_value());
}

}  // namespace
