#include "golden_status.h"

#include <gtest/gtest.h>

namespace talavex_bench {
namespace {

using AztecCore::SymbolKind;

struct DescribeCase {
    SymbolKind kind;
    std::uint32_t orientation;
    std::uint8_t mirrored;
    std::uint32_t layers, codewordBits, totalCodewords, dataCodewords;
    const char* expected;
};

class DescribeShapeTest : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(DescribeShapeTest, RendersEveryField) {
    const DescribeCase& c = GetParam();
    AztecCore::SymbolParameters cand;
    cand.kind = c.kind;
    cand.orientation = c.orientation;
    cand.mirrored = c.mirrored;
    cand.layers = c.layers;
    cand.codewordBits = c.codewordBits;
    cand.totalCodewords = c.totalCodewords;
    cand.dataCodewords = c.dataCodewords;
    EXPECT_EQ(describeShape(cand), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DescribeShapeTest,
    ::testing::Values(DescribeCase{SymbolKind::Compact, 0, 0, 2, 6, 40, 13, "(C 0' L: 2 D: 78 ECC: 67%)"},
                      DescribeCase{SymbolKind::Full, 3, 1, 5, 8, 120, 100, "(F 270'M L: 5 D: 800 ECC: 16%)"},
                      DescribeCase{SymbolKind::None, 0, 0, 0, 0, 0, 0, "(? 0' L: 0 D: 0 ECC: 0%)"},
                      DescribeCase{SymbolKind::Full, 7, 0, 32, 12, 1664, 1664, "(F ?' L: 32 D: 19968 ECC: 0%)"},
                      DescribeCase{SymbolKind::Compact, 1, 1, 1, 6, 17, 1, "(C 90'M L: 1 D: 6 ECC: 94%)"},
                      // More data words than the symbol holds gives a negative share.
                      DescribeCase{SymbolKind::Full, 2, 0, 1, 6, 21, 42, "(F 180' L: 1 D: 252 ECC: -100%)"}));

TEST(FormatTest, MatchesPrintf) {
    EXPECT_EQ(formatInt(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(formatInt(0), "0");
    EXPECT_EQ(formatFloat(4.0), "4.000000");
    EXPECT_EQ(formatFloat(3.3000007f), "3.300001");
}

}  // namespace
}  // namespace talavex_bench
