// What the data layers say beside the bytes, for real zint symbols encoded
// with ECIs, GS1, structured-append headers and the reader-initialisation flag.
#include <gtest/gtest.h>

#include "decode/decode_test_support.h"

namespace {

using namespace decode_test;
using AztecCore::EciMark;
using AztecCore::Fnc1Position;
using talavex_test::AztecSize;
using talavex_test::EncodeOptions;

struct DetailsCase {
    const char* name;
    std::string input;
    EncodeOptions options;
    std::string bytes;  // after the structured-append header is removed
    std::vector<std::pair<std::uint32_t, std::size_t>> ecis;
    Fnc1Position fnc1;
    std::uint32_t position, count;  // 0: no structured append
    std::string id;
    bool readerInit;
};

EncodeOptions eci(int designator) {
    EncodeOptions o;
    o.eci = designator;
    return o;
}
EncodeOptions gs1() {
    EncodeOptions o;
    o.gs1 = true;
    return o;
}
EncodeOptions part(int index, int count, const std::string& id, AztecSize size = AztecSize::Auto) {
    EncodeOptions o;
    o.size = size;
    o.structIndex = index;
    o.structCount = count;
    o.structId = id;
    return o;
}
EncodeOptions init(AztecSize size, int layers) {
    EncodeOptions o;
    o.size = size;
    o.layers = layers;
    o.readerInit = true;
    return o;
}

const DetailsCase kCases[] = {
    {"Plain", "HELLO", {}, "HELLO", {}, Fnc1Position::None, 0, 0, "", false},
    {"EciAtStart", "Gr\xC3\xBC\xC3\x9F", eci(26), "Gr\xC3\xBC\xC3\x9F", {{26, 0}}, Fnc1Position::None, 0, 0, "", false},
    {"SixDigitEci", "abc", eci(123456), "abc", {{123456, 0}}, Fnc1Position::None, 0, 0, "", false},
    {"Gs1", "[01]12345678901231[10]AB", gs1(), "011234567890123110AB", {}, Fnc1Position::First, 0, 0, "", false},
    {"StructuredAppend", "ABC", part(2, 5, ""), "ABC", {}, Fnc1Position::None, 2, 5, "", false},
    {"StructuredAppendWithId", "abc", part(1, 3, "XY12"), "abc", {}, Fnc1Position::None, 1, 3, "XY12", false},
    {"StructuredAppendLast",
     "12345",
     part(26, 26, "", AztecSize::Full),
     "12345",
     {},
     Fnc1Position::None,
     26,
     26,
     "",
     false},
    {"ReaderInitCompact", "ABC", init(AztecSize::Compact, 1), "ABC", {}, Fnc1Position::None, 0, 0, "", true},
    {"ReaderInitFull",
     "ABCDEFGHIJKLMNOPQRST",
     init(AztecSize::Full, 1),
     "ABCDEFGHIJKLMNOPQRST",
     {},
     Fnc1Position::None,
     0,
     0,
     "",
     true},
};

class SymbolDetails : public ::testing::TestWithParam<DetailsCase> {};

TEST_P(SymbolDetails, ReportTheFlagsAndHeadersTheEncoderWasAskedFor) {
    const DetailsCase& c = GetParam();
    const ModuleBits modules = toModuleBits(talavex_test::encodeAztec(c.input, c.options));
    const auto params = readModeMessage(modules);
    ASSERT_TRUE(params.has_value());
    auto data = AztecCore::decodeSymbolDetails(*params, modules, true);
    ASSERT_TRUE(data.has_value());
    // The exports' decoding keeps the header and does not read reader-initialisation symbols.
    const auto plain = c.readerInit ? std::nullopt : std::optional<Bytes>(data->text.bytes);
    EXPECT_EQ(decodeModules(modules), plain);
    AztecCore::removeStructuredAppendHeader(*data);

    EXPECT_EQ(data->text.bytes, bytesOf(c.bytes));
    std::vector<std::pair<std::uint32_t, std::size_t>> ecis;
    for (const EciMark& mark : data->text.ecis) ecis.emplace_back(mark.designator, mark.offset);
    EXPECT_EQ(ecis, c.ecis);
    EXPECT_EQ(data->text.fnc1, c.fnc1);
    EXPECT_EQ(data->readerInit, c.readerInit);
    EXPECT_EQ(data->correctedCodewords, 0);
    EXPECT_EQ(data->structuredAppend.has_value(), c.count != 0);
    if (data->structuredAppend) {
        EXPECT_EQ(data->structuredAppend->position, c.position);
        EXPECT_EQ(data->structuredAppend->count, c.count);
        EXPECT_EQ(data->structuredAppend->id, c.id);
    }
}

INSTANTIATE_TEST_SUITE_P(ZintSymbols, SymbolDetails, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SymbolDetailsCorrection, CountsTheCodewordsTheCorrectionRepaired) {
    ModuleBits modules = toModuleBits(talavex_test::encodeAztec("CORRECTED CODEWORDS", EncodeOptions{}));
    const auto params = readModeMessage(modules);
    ASSERT_TRUE(params.has_value());
    // Modules of three different codewords, one each.
    const auto where = layerBitModules(*params);
    for (const std::size_t word : {0u, 3u, 7u}) {
        const auto [x, y] = where[word * params->codewordBits];
        modules[x][y] = !modules[x][y];
    }
    const auto data = AztecCore::decodeSymbolDetails(*params, modules, true);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->correctedCodewords, 3);
    EXPECT_EQ(data->text.bytes, bytesOf("CORRECTED CODEWORDS"));
}

TEST(SymbolDetailsText, PlacesEachEciAtTheByteWhereItStarts) {
    // "AB", FLG(2) "26", "C": Upper A, B, P/S FLG, n = 2, digits 2 and 6, Upper C.
    const BitVector message = bits("00010 00011 00000 00000 010 0100 1000 00100");
    const auto text = AztecCore::decodeTextWithFlags(message, message.size());
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->bytes, bytesOf("ABC"));
    ASSERT_EQ(text->ecis.size(), 1u);
    EXPECT_EQ(text->ecis[0].designator, 26u);
    EXPECT_EQ(text->ecis[0].offset, 2u);
}

}  // namespace
