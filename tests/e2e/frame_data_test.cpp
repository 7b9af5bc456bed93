// Message content: every character mode, shifts and latches, binary runs,
// high bytes, GS1 and ECI data, read end to end.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace talavex_e2e {
namespace {

struct DataCase {
    const char* name;
    std::string text;
};

std::string bytesFrom(int first, int last) {
    std::string s;
    for (int b = first; b <= last; ++b) s += static_cast<char>(b);
    return s;
}

class MessageContentTest : public ::testing::TestWithParam<DataCase> {};

TEST_P(MessageContentTest, ReadsBackExactly) {
    const std::string& text = GetParam().text;
    const AztecSymbol symbol = encode(text);
    RenderOptions options;
    options.moduleSize = 4.0;
    options.angleDegrees = 12.0;
    EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, options)), text);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MessageContentTest,
    ::testing::Values(DataCase{"Upper", "HELLO WORLD"},
                      DataCase{"Lower", "the quick brown fox jumps over the lazy dog"},
                      DataCase{"Digits", "0123456789012345678901234567890123456789"},
                      DataCase{"DigitsWithPunct", "3.14159, 2.71828, 1.41421."},
                      DataCase{"Mixed", std::string("a@b\\c^d_e`f|g~h") + "\x7f" + "\x1b\x01\x07"},
                      DataCase{"Punct", "!\"#$%&'()*+,-./:;<=>?[]{}"},
                      DataCase{"TwoBytePunct", "a. b, c: d\r\ne. f, g: h. i, j: k\r\n. . . , , , : : :"},
                      DataCase{"ShiftsAndLatches", "AbCdEf12aB3.cD,4Ef:Gh!iJ"},
                      DataCase{"HighBytes", bytesFrom(128, 255)},
                      DataCase{"ShortBinary", std::string("\x80\x81\x82hello\xff")},
                      DataCase{"LongBinaryRun", bytesFrom(160, 250)}, DataCase{"AllBytesButZero", bytesFrom(1, 255)},
                      DataCase{"DigitsBytesLetters",
                               "3333\xe8\xe9ITIT 1234\x80\x81"
                               "ABCD 0000\x80"
                               "A0000\x81"
                               "B"},
                      DataCase{"Url", "https://example.com/path?q=aztec&lang=en#frag"},
                      DataCase{"LongText", randomText(1200, 5)}, DataCase{"LongBinary", randomText(900, 6, true)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StructuredDataTest, Gs1DataReadsWithGroupSeparators) {
    talavex_test::EncodeOptions options;
    options.gs1 = true;
    const AztecSymbol symbol = talavex_test::encodeAztec("[01]09501101530003[10]ABC123[21]XYZ", options);
    RenderOptions render;
    render.moduleSize = 4.0;
    // A leading FNC1 marks GS1 data and is not transmitted; the one after the
    // variable-length lot number becomes a group separator.
    EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, render)),
              "0109501101530003"
              "10ABC123\x1d"
              "21XYZ");
}

TEST(StructuredDataTest, EciDataKeepsItsBytes) {
    for (int eci : {3, 26, 899}) {
        talavex_test::EncodeOptions options;
        options.eci = eci;
        const std::string text = "caf\xc3\xa9 \xe2\x82\xac 42";
        const AztecSymbol symbol = talavex_test::encodeAztec(text, options);
        RenderOptions render;
        render.moduleSize = 4.0;
        EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, render)), text) << "ECI " << eci;
    }
}

TEST(StructuredDataTest, TheWordErrorIsIndistinguishableFromAFailure) {
    RenderOptions render;
    render.moduleSize = 4.0;
    EXPECT_EQ(readY(talavex_test::renderSymbol(encode("error"), render)), "error");
}

}  // namespace
}  // namespace talavex_e2e
