#include <gtest/gtest.h>

#include <ostream>

#include "decode/codeword_correction.h"
#include "decode/decode_test_support.h"
#include "reedsolomon/exceptions.h"
#include "reedsolomon/rs_decoder.h"

namespace {

using namespace decode_test;
using AztecCore::correctDataBits;

SymbolParameters shape(std::uint32_t width, std::uint32_t total, std::uint32_t data, std::uint32_t spare = 0) {
    SymbolParameters params;
    params.kind = SymbolKind::Compact;
    params.codewordBits = width;
    params.totalCodewords = total;
    params.dataCodewords = data;
    params.spareBits = spare;
    return params;
}

BitVector wordBits(const std::vector<std::int32_t>& words, int width) {
    std::string pattern;
    for (const auto w : words) pattern += binary(static_cast<std::uint32_t>(w), width);
    return bits(pattern);
}

constexpr int kCheckWords = 2;

// The layer stream of `words` followed by two check words; the stream's last
// `spare` bits wrap round to its start, as in a symbol whose layers hold a few
// bits more than its codewords.
BitVector checkedLayer(const std::vector<std::int32_t>& words, int width, int spare = 0) {
    std::vector<std::int32_t> all = words;
    const auto check =
        checkWords(AztecCore::fieldForCodewordBits(static_cast<std::uint32_t>(width)), words, kCheckWords);
    all.insert(all.end(), check.begin(), check.end());
    const BitVector stream = wordBits(all, width);
    BitVector layer(stream.end() - spare, stream.end());
    layer.insert(layer.end(), stream.begin(), stream.end() - spare);
    return layer;
}

SymbolParameters checkedShape(int width, std::size_t dataWords, int spare = 0) {
    const auto data = static_cast<std::uint32_t>(dataWords);
    return shape(static_cast<std::uint32_t>(width), data + kCheckWords, data, static_cast<std::uint32_t>(spare));
}

struct StuffingCase {
    const char* name;
    int width;
    std::vector<std::int32_t> words;
    std::string expected;  // the data bits left after stuffed-bit removal
};

TEST(StuffedBits, AreRemovedForEveryWidth) {
    const std::vector<StuffingCase> cases = {
        StuffingCase{"FiveOnesThenZero", 6, {0b111110}, "11111"},
        StuffingCase{"FiveZerosThenOne", 6, {0b000001}, "00000"},
        StuffingCase{"NoStuffing", 6, {0b101010, 0b110111}, "101010110111"},
        StuffingCase{"StuffedBetweenPlain", 6, {0b101010, 0b111110, 0b010101}, "101010 11111 010101"},
        StuffingCase{"RunAcrossCodewordsIsNotStuffed", 6, {0b011111, 0b111101}, "011111111101"},
        StuffingCase{"EightBit", 8, {0b11111110, 0b00000001, 0b11111101}, "1111111 0000000 11111101"},
        StuffingCase{"TenBit", 10, {0b1111111110, 0b0000000001}, "111111111 000000000"},
        StuffingCase{"TwelveBit", 12, {0b111111111110, 0b100000000000}, "11111111111 100000000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto data = correctDataBits(checkedLayer(c.words, c.width), checkedShape(c.width, c.words.size()));
        ASSERT_TRUE(data.has_value());
        const BitVector expected = bits(c.expected);
        ASSERT_EQ(data->usedBits, expected.size());
        ASSERT_EQ(data->bits.size(), c.words.size() * static_cast<std::size_t>(c.width));
        EXPECT_EQ(BitVector(data->bits.begin(), data->bits.begin() + static_cast<std::ptrdiff_t>(data->usedBits)),
                  expected);
        for (std::size_t k = data->usedBits; k < data->bits.size(); ++k) EXPECT_FALSE(data->bits[k]);
    }
}

TEST(StuffedBits, CodewordOfOneBitValueIsIllegal) {
    for (const auto& [width, word] : {std::pair{6, 0b111111}, std::pair{6, 0}, std::pair{8, 0xFF}, std::pair{12, 0}}) {
        try {
            (void)correctDataBits(checkedLayer({0b0101, word}, width), checkedShape(width, 2));
            ADD_FAILURE() << "width " << width;
        } catch (const Aztec::ReedSolomon::IllegalSymbolException& e) {
            EXPECT_STREQ(e.what(), "Illegal series of bits");
        }
    }
}

TEST(CorrectDataBits, SkipsTheSpareBitsAtTheStartOfTheLayers) {
    const auto data = correctDataBits(checkedLayer({0b101010, 0b011001}, 6, 2), checkedShape(6, 2, 2));
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->bits, bits("101010 011001"));
}

TEST(CorrectDataBits, RejectsInconsistentShapes) {
    const BitVector layer = wordBits({1, 2, 3, 4}, 6);
    EXPECT_FALSE(correctDataBits(layer, shape(6, 4, 5)).has_value());  // more data than codewords
    EXPECT_FALSE(correctDataBits(layer, shape(6, 4, 4)).has_value());  // no check words
    EXPECT_FALSE(correctDataBits(layer, shape(6, 4, 0)).has_value());
    EXPECT_FALSE(correctDataBits(layer, shape(0, 4, 2)).has_value());
    EXPECT_FALSE(correctDataBits(layer, shape(13, 1, 1)).has_value());  // wider than any Aztec codeword
}

struct FieldCase {
    std::uint32_t width;
    const GenericGF* field;
};

const std::vector<FieldCase> kFields = {{6, &Aztec::ReedSolomon::Field64},
                                        {8, &Aztec::ReedSolomon::Field256},
                                        {10, &Aztec::ReedSolomon::Field1024},
                                        {12, &Aztec::ReedSolomon::Field4096}};

TEST(CodewordErrors, AreRepairedAndCountedInEveryField) {
    for (const auto [width, field] : kFields) {
        SCOPED_TRACE(width);
        const std::vector<std::int32_t> data = {5, 17, 33, 9, 40, 21};
        const int check = 12;
        std::vector<std::int32_t> words = data;
        const auto checks = checkWords(*field, data, check);
        words.insert(words.end(), checks.begin(), checks.end());
        const auto params =
            shape(width, static_cast<std::uint32_t>(words.size()), static_cast<std::uint32_t>(data.size()));
        const auto clean = correctDataBits(wordBits(words, static_cast<int>(width)), params);
        ASSERT_TRUE(clean.has_value());
        EXPECT_EQ(clean->correctedWords, 0);

        for (int damaged = 1; damaged <= check / 2; ++damaged) {
            std::vector<std::int32_t> received = words;
            for (int k = 0; k < damaged; ++k) received[static_cast<std::size_t>(3 * k)] ^= 0b100001 + k;
            const auto repaired = correctDataBits(wordBits(received, static_cast<int>(width)), params);
            ASSERT_TRUE(repaired.has_value());
            EXPECT_EQ(repaired->bits, clean->bits) << damaged;
            EXPECT_EQ(repaired->correctedWords, damaged);
        }
    }
}

TEST(CodewordErrors, BeyondRepairThrow) {
    for (const auto [width, field] : kFields) {
        SCOPED_TRACE(width);
        const std::vector<std::int32_t> data = {5, 17, 33, 9, 40, 21};
        std::vector<std::int32_t> words = data;
        const auto checks = checkWords(*field, data, 4);
        words.insert(words.end(), checks.begin(), checks.end());
        // Three errors against four check words, placed so that the decoder
        // cannot find a consistent error locator.
        words[0] ^= 1;
        words[2] ^= 2;
        words[4] ^= 3;
        EXPECT_THROW((void)correctDataBits(wordBits(words, static_cast<int>(width)),
                                           shape(width, static_cast<std::uint32_t>(words.size()), 6)),
                     Aztec::ReedSolomon::ReedSolomonException);
    }
}

// Small codes near the end of their capacity: a repair is refused where
// garbage would be repaired into a wrong codeword as far away too often.
struct RepairCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t total;
    std::uint32_t dataWords;
    int errors;
    bool read;
};
void PrintTo(const RepairCase& c, std::ostream* os) { *os << c.name; }

class RepairNearCapacity : public ::testing::TestWithParam<RepairCase> {};

std::vector<std::int32_t> sampleData(std::size_t count) {
    std::vector<std::int32_t> data;
    for (std::size_t i = 0; i < count; ++i) data.push_back(static_cast<std::int32_t>(5 + 7 * i) % 62 + 1);
    return data;
}

TEST_P(RepairNearCapacity, IsTakenOnlyWhereAMiscorrectionIsRare) {
    const RepairCase& c = GetParam();
    const auto& field = AztecCore::fieldForCodewordBits(c.width);
    std::vector<std::int32_t> words = rstest::encode(field, sampleData(c.dataWords), int(c.total - c.dataWords));
    const auto params = shape(c.width, c.total, c.dataWords);
    const auto clean = correctDataBits(wordBits(words, int(c.width)), params);
    ASSERT_TRUE(clean.has_value());
    for (int k = 0; k < c.errors; ++k) words[static_cast<std::size_t>(2 * k)] ^= 0b100001 + k;
    const auto repaired = correctDataBits(wordBits(words, int(c.width)), params);
    ASSERT_EQ(repaired.has_value(), c.read);
    if (repaired) {
        EXPECT_EQ(repaired->bits, clean->bits);
    }
}

INSTANTIATE_TEST_SUITE_P(SmallCodes, RepairNearCapacity,
                         ::testing::Values(RepairCase{"CompactOneLayerSixCheckWordsRepairsOne", 6, 17, 11, 1, true},
                                           RepairCase{"CompactOneLayerSixCheckWordsRefusesTwo", 6, 17, 11, 2, false},
                                           RepairCase{"CompactOneLayerSevenCheckWordsRepairsTwo", 6, 17, 10, 2, true},
                                           RepairCase{"CompactOneLayerSevenCheckWordsRefusesThree", 6, 17, 10, 3,
                                                      false},
                                           RepairCase{"EightBitTenCheckWordsRepairsAllFive", 8, 40, 30, 5, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The fault behind the rule: a word damaged in five places, two words away
// from another codeword, used to be "repaired" into that codeword's data.
TEST(RepairNearCapacity, GarbageTwoWordsFromAnotherCodewordIsNotReadAsIt) {
    const std::uint32_t width = 6;
    const std::uint32_t total = 17;
    const auto& field = AztecCore::fieldForCodewordBits(width);
    const int check = 6;
    std::vector<std::int32_t> data = sampleData(total - check);
    const auto written = rstest::encode(field, data, check);
    data.back() ^= 1;
    const auto other = rstest::encode(field, data, check);
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < written.size(); ++i)
        if (written[i] != other[i]) differing.push_back(i);
    ASSERT_EQ(differing.size(), std::size_t{check + 1}) << "the two codewords are not as close as codewords get";
    std::vector<std::int32_t> received = written;
    for (std::size_t k = 2; k < differing.size(); ++k) received[differing[k]] = other[differing[k]];

    const auto params = shape(width, total, total - check);
    EXPECT_FALSE(correctDataBits(wordBits(received, int(width)), params).has_value());
    // What the decoder alone makes of it: the other codeword, two words repaired.
    const Aztec::ReedSolomon::RsDecoder decoder(field);
    EXPECT_EQ(decoder.correct(received, check), 2);
    EXPECT_EQ(received, other);
}

}  // namespace
