// What the reader reports beside the bytes, checked against what libzint was
// asked to encode and how the symbol was rendered.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "reader/reader_support.h"
#include "support/aztec_encoder.h"

namespace {

using namespace reader_test;
using talavex_test::AztecSize;
using talavex_test::EncodeOptions;
using talavex_test::RenderOptions;

struct MetadataCase {
    const char* name;
    std::string data;
    AztecSize size;
    int layers;
    int eccLevel;  // 0: forced size, check words fill the rest
    double angle;
    bool mirror;
    double moduleSize;
};
// gtest names the case instead of dumping its bytes (padding included).
void PrintTo(const MetadataCase& c, std::ostream* os) { *os << c.name; }

const MetadataCase kCases[] = {
    {"CompactUpright", "METADATA", AztecSize::Compact, 2, 0, 0, false, 4},
    {"CompactQuarterTurn", "METADATA", AztecSize::Compact, 3, 0, 90, false, 3},
    {"FullHalfTurnMirrored", "Full range symbol 123", AztecSize::Full, 4, 0, 180, true, 3},
    {"FullThreeQuarterTurn", "Full range symbol 456", AztecSize::Full, 6, 0, 270, false, 2},
    {"AutoHighEcc", "Error correction share", AztecSize::Auto, 0, 4, 0, false, 4},
    {"AutoLowEccMirrored", "Error correction share", AztecSize::Auto, 0, 1, 90, true, 4},
    // More than 32 data codewords: the bit that reader-initialisation symbols set.
    {"CompactManyDataCodewords", std::string(80, 'Q'), AztecSize::Compact, 4, 0, 0, false, 3},
    // zint puts 65 data codewords into this compact symbol, and its six-bit count says 1.
    {"CompactWrappedDataCount", std::string(103, 'A'), AztecSize::Auto, 0, 1, 0, false, 3},
    {"SlightlyTurned", "Turned by a few degrees", AztecSize::Full, 2, 0, 10, false, 5},
};

class ReaderMetadata : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(ReaderMetadata, MatchesWhatWasEncodedAndRendered) {
    const MetadataCase& c = GetParam();
    EncodeOptions encode;
    encode.size = c.size;
    encode.layers = c.layers;
    encode.eccLevel = c.eccLevel;
    const auto symbol = talavex_test::encodeAztec(c.data, encode);
    RenderOptions render;
    render.moduleSize = c.moduleSize;
    render.angleDegrees = c.angle;
    render.mirror = c.mirror;
    const auto image = talavex_test::renderSymbol(symbol, render);

    const Results results = read(grayView(image));
    ASSERT_EQ(talavex_results_count(results.get()), 1u);
    const talavex_results* r = results.get();
    ASSERT_EQ(talavex_symbol_status_of(r, 0), TALAVEX_SYMBOL_READ);
    EXPECT_STREQ(talavex_symbol_text(r, 0), c.data.c_str());
    EXPECT_STREQ(talavex_symbol_identifier(r, 0), "]z0");

    const bool compact = symbol.size <= 27 && (symbol.size - 11) % 4 == 0 && c.size != AztecSize::Full;
    EXPECT_EQ(talavex_symbol_kind(r, 0), compact ? TALAVEX_COMPACT : TALAVEX_FULL_RANGE);
    if (c.layers != 0) {
        EXPECT_EQ(talavex_symbol_layers(r, 0), c.layers);
    }
    static const int kLeastEcc[] = {0, 10, 23, 36, 50};
    EXPECT_GE(talavex_symbol_ecc_percent(r, 0), kLeastEcc[c.eccLevel]);
    EXPECT_LT(talavex_symbol_ecc_percent(r, 0), 100);
    EXPECT_EQ(talavex_symbol_codewords_corrected(r, 0), 0);
    EXPECT_EQ(talavex_symbol_reader_init(r, 0), 0);
    EXPECT_EQ(talavex_symbol_inverted(r, 0), 0);
    EXPECT_NEAR(talavex_symbol_module_size(r, 0), c.moduleSize, 0.1 * c.moduleSize);
    expectPlacement(r, symbol, render);
}

INSTANTIATE_TEST_SUITE_P(ZintSymbols, ReaderMetadata, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FlagsCase {
    const char* name;
    std::string input;
    EncodeOptions encode;
    std::string bytes;
    const char* text;  // nullptr: no text expected
    const char* identifier;
    uint32_t eci;  // the first ECI, 0 for none
    int gs1;
    uint32_t position, count;
    std::string id;
    int readerInit;
};
void PrintTo(const FlagsCase& c, std::ostream* os) { *os << c.name; }

EncodeOptions withEci(int eci) {
    EncodeOptions o;
    o.eci = eci;
    return o;
}
EncodeOptions withGs1() {
    EncodeOptions o;
    o.gs1 = true;
    return o;
}
EncodeOptions withPart(int index, int count, const std::string& id) {
    EncodeOptions o;
    o.structIndex = index;
    o.structCount = count;
    o.structId = id;
    return o;
}
EncodeOptions withInit() {
    EncodeOptions o;
    o.size = AztecSize::Compact;
    o.layers = 1;
    o.readerInit = true;
    return o;
}

const FlagsCase kFlags[] = {
    {"Latin1WithoutEci", "caf\xE9", {}, "caf\xE9", "caf\xC3\xA9", "]z0", 0, 0, 0, 0, "", 0},
    {"Utf8Eci",
     "\xE2\x82\xAC"
     "5",
     withEci(26),
     "\xE2\x82\xAC"
     "5",
     "\xE2\x82\xAC"
     "5",
     "]z3", 26, 0, 0, 0, "", 0},
    {"Cp1252Eci",
     "\x80"
     "5",
     withEci(21),
     "\x80"
     "5",
     "\xE2\x82\xAC"
     "5",
     "]z3", 21, 0, 0, 0, "", 0},
    {"UnconvertedEci", "\xC4\xD6", withEci(899), "\xC4\xD6", nullptr, "]z3", 899, 0, 0, 0, "", 0},
    {"Iso8859_2Eci", "\xB1x", withEci(4), "\xB1x", "\xC4\x85x", "]z3", 4, 0, 0, 0, "", 0},
    {"Iso8859_7Eci", "\xE1", withEci(9), "\xE1", "\xCE\xB1", "]z3", 9, 0, 0, 0, "", 0},
    {"UnassignedInItsCharset", "\xA5", withEci(5), "\xA5", nullptr, "]z3", 5, 0, 0, 0, "", 0},
    {"ZeroBytesKept", std::string("A\0B", 3), {}, std::string("A\0B", 3), nullptr, "]z0", 0, 0, 0, 0, "", 0},
    {"Gs1", "[01]12345678901231", withGs1(), "0112345678901231", "0112345678901231", "]z1", 0, 1, 0, 0, "", 0},
    {"StructuredAppend", "PART", withPart(3, 4, "ID7"), "PART", "PART", "]z6", 0, 0, 3, 4, "ID7", 0},
    {"ReaderInit", "INIT", withInit(), "INIT", "INIT", "]z0", 0, 0, 0, 0, "", 1},
};

class ReaderFlags : public ::testing::TestWithParam<FlagsCase> {};

TEST_P(ReaderFlags, ReportWhatTheEncoderWasAskedFor) {
    const FlagsCase& c = GetParam();
    RenderOptions render;
    render.moduleSize = 3;
    const auto image = talavex_test::renderSymbol(talavex_test::encodeAztec(c.input, c.encode), render);
    const Results results = read(grayView(image));
    ASSERT_EQ(talavex_results_count(results.get()), 1u);
    const talavex_results* r = results.get();
    size_t length = 0;
    const uint8_t* bytes = talavex_symbol_bytes(r, 0, &length);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length), c.bytes);
    if (c.text == nullptr && c.bytes.find('\0') == std::string::npos) {
        EXPECT_EQ(talavex_symbol_text(r, 0), nullptr);
    } else if (c.text != nullptr) {
        EXPECT_STREQ(talavex_symbol_text(r, 0), c.text);
    }
    EXPECT_STREQ(talavex_symbol_identifier(r, 0), c.identifier);
    EXPECT_EQ(talavex_symbol_eci_count(r, 0), c.eci != 0 ? 1u : 0u);
    size_t offset = 99;
    EXPECT_EQ(talavex_symbol_eci(r, 0, 0, &offset), c.eci);
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(talavex_symbol_gs1(r, 0), c.gs1);
    EXPECT_EQ(talavex_symbol_reader_init(r, 0), c.readerInit);
    uint32_t position = 0;
    const char* id = nullptr;
    EXPECT_EQ(talavex_symbol_structured_append(r, 0, &position, &id), c.count);
    EXPECT_EQ(position, c.position);
    EXPECT_EQ(std::string(id), c.id);
}

INSTANTIATE_TEST_SUITE_P(ZintSymbols, ReaderFlags, ::testing::ValuesIn(kFlags),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
