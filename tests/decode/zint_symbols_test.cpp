// Real symbols from libzint, decoded from their module matrices: the mode
// message from the ring around the finder, the data through the layer spiral,
// Reed-Solomon correction, stuffed-bit removal and the character modes.
#include <gtest/gtest.h>

#include <random>

#include "decode/decode_test_support.h"
#include "decode/layer_table.h"

namespace {

using namespace decode_test;
using talavex_test::AztecSize;
using talavex_test::encodeAztec;
using talavex_test::EncodeOptions;

// Encodes, decodes and checks the bytes; returns the mode parameters read.
SymbolParameters expectRoundTrip(const Bytes& message, const EncodeOptions& options, const std::string& label) {
    const ModuleBits modules = toModuleBits(encodeAztec(message, options));
    const auto params = readModeMessage(modules);
    EXPECT_TRUE(params.has_value()) << label;
    if (!params) return {};
    const auto data = AztecCore::decodeSymbolDetails(*params, modules, true);
    EXPECT_TRUE(data.has_value()) << label;
    if (data) {
        EXPECT_EQ(data->text.bytes, message) << label;
    }
    return *params;
}

// Text of `length` characters from a mix of the character modes.
std::string mixedText(std::size_t length, std::uint32_t seed) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789 .,:;!?#@\r\n";
    std::mt19937 rng(seed);
    std::string text;
    while (text.size() < length) {
        const std::size_t from = rng() % alphabet.size();
        const std::size_t run = 1 + rng() % 6;
        for (std::size_t k = 0; k < run && text.size() < length; ++k) text += alphabet[(from + k) % alphabet.size()];
    }
    return text;
}

Bytes randomBytes(std::size_t length, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes bytes(length);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    return bytes;
}

// ---- every size ----

// A message filling about a third of the symbol, in characters of roughly six bits.
void expectEveryLayerCount(AztecSize size) {
    const bool compact = size == AztecSize::Compact;
    for (int layers = 1; layers <= (compact ? 4 : 32); ++layers) {
        const auto shape =
            AztecCore::layerShape(compact ? SymbolKind::Compact : SymbolKind::Full, static_cast<std::uint32_t>(layers));
        const std::string text =
            mixedText(shape->totalCodewords * shape->codewordBits / 18 + 1, static_cast<std::uint32_t>(layers));
        const auto params = expectRoundTrip(bytesOf(text), EncodeOptions{size, layers}, std::to_string(layers));
        EXPECT_EQ(params.layers, static_cast<std::uint32_t>(layers));
        EXPECT_EQ(params.kind, compact ? SymbolKind::Compact : SymbolKind::Full);
    }
}

TEST(ZintSymbols, EveryCompactLayerCount) { expectEveryLayerCount(AztecSize::Compact); }

TEST(ZintSymbols, EveryFullRangeLayerCount) { expectEveryLayerCount(AztecSize::Full); }

TEST(ZintSymbols, EveryErrorCorrectionLevel) {
    for (int level = 1; level <= 4; ++level) {
        for (const std::size_t length : {5u, 40u, 200u}) {
            const std::string text = mixedText(length, static_cast<std::uint32_t>(level * 1000 + length));
            EncodeOptions options;
            options.eccLevel = level;
            const auto params = expectRoundTrip(bytesOf(text), options, text);
            EXPECT_LT(params.dataCodewords, params.totalCodewords);
        }
    }
}

// ---- every view ----

struct ViewCase {
    const char* name;
    EncodeOptions options;
    std::size_t length;
};

TEST(ZintSymbols, EveryOrientationMirroredOrNot) {
    const std::vector<ViewCase> cases = {
        ViewCase{"CompactOneLayer", {AztecSize::Compact, 1}, 4},
        ViewCase{"CompactFourLayers", {AztecSize::Compact, 4}, 50},
        ViewCase{"FullOneLayer", {AztecSize::Full, 1}, 6},
        ViewCase{"FullNineLayers", {AztecSize::Full, 9}, 200},
        ViewCase{"FullTwentyFiveLayers", {AztecSize::Full, 25}, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes message = bytesOf(mixedText(c.length, 7));
        const ModuleBits upright = toModuleBits(encodeAztec(message, c.options));
        for (int turns = 0; turns < 4; ++turns) {
            for (const bool mirror : {false, true}) {
                EXPECT_EQ(decodeModules(transformed(upright, turns, mirror)), message)
                    << turns << " quarter turns" << (mirror ? ", mirrored" : "");
            }
        }
    }
}

// ---- every kind of content ----

struct ContentCase {
    const char* name;
    Bytes message;
};

Bytes allBytesFrom(int first, int last) {
    Bytes bytes;
    for (int b = first; b <= last; ++b) bytes.push_back(static_cast<std::uint8_t>(b));
    return bytes;
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ZintSymbols, EveryCharacterModeAndBinaryData) {
    const std::vector<ContentCase> cases = {
        ContentCase{"Upper", bytesOf("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG")},
        ContentCase{"Lower", bytesOf("the quick brown fox jumps over the lazy dog")},
        ContentCase{"ShiftsBetweenCases", bytesOf("aBcDeFgHiJ kLmNoP QrStUv")},
        ContentCase{"Digits", bytesOf("0123456789 3.14159,2.71828 1234567890123456789")},
        ContentCase{"Punctuation", bytesOf("!\"#$%&'()*+,-./:;<=>?[]{}")},
        ContentCase{"PunctuationPairs", bytesOf("One. Two, three: four\r\nfive. ")},
        ContentCase{"MixedControls", concat(allBytesFrom(1, 13), bytesOf("@\\^_`|~\x7f\x1b\x1c\x1d\x1e\x1f"))},
        ContentCase{"EveryAsciiByte", allBytesFrom(1, 127)},
        ContentCase{"EveryByteValue", allBytesFrom(0, 255)},
        ContentCase{"ZeroBytes", Bytes{0, 0, 'A', 0, 'b', 0}},
        ContentCase{"HighBytes", Bytes{0x80, 0xC3, 0xA9, 'x', 0xFE, 0xFF}},
        ContentCase{"BinaryRunOf31", randomBytes(31, 31)},
        ContentCase{"BinaryRunOf40", concat(bytesOf("Head "), randomBytes(40, 40))},
        ContentCase{"BinaryRunOf600", randomBytes(600, 600)},
        ContentCase{"ThirtyOne0xFF", Bytes(31, 0xFF)},
        ContentCase{"TextThenThirtyOne0xFF", concat(bytesOf("AB"), Bytes(31, 0xFF))},
        ContentCase{"SixtyTwo0xFF", Bytes(62, 0xFF)},
        ContentCase{"SingleCharacter", bytesOf("A")},
        ContentCase{"LongText", bytesOf(mixedText(1500, 99))},
    };
    for (const auto& c : cases) expectRoundTrip(c.message, EncodeOptions{}, c.name);
}

TEST(ZintSymbols, RandomMessagesAndOptions) {
    std::mt19937 rng(2024);
    for (int k = 0; k < 40; ++k) {
        const std::size_t length = 1 + rng() % 120;
        const Bytes message = k % 2 == 0 ? randomBytes(length, rng()) : bytesOf(mixedText(length, rng()));
        EncodeOptions options;
        options.eccLevel = static_cast<int>(rng() % 5);
        expectRoundTrip(message, options, "random message " + std::to_string(k));
    }
}

// ---- GS1 and ECI ----

TEST(ZintSymbols, Gs1DataHasNoLeadingSeparatorAndSeparatesVariableFields) {
    struct Gs1Case {
        std::string input;
        std::string expected;
    };
    const std::string gs = "\x1d";
    const std::vector<Gs1Case> cases = {
        {"[01]12345678901231[10]ABC", "011234567890123110ABC"},
        {"[10]ABC[21]XYZ[01]12345678901231", "10ABC" + gs + "21XYZ" + gs + "0112345678901231"},
        {"[10]abc123[3103]000150", "10abc123" + gs + "3103000150"},
    };
    for (const auto& c : cases) {
        EncodeOptions options;
        options.gs1 = true;
        const ModuleBits upright = toModuleBits(encodeAztec(c.input, options));
        for (int turns = 0; turns < 4; turns += 3) {
            EXPECT_EQ(decodeModules(transformed(upright, turns, turns == 3)), bytesOf(c.expected)) << c.input;
        }
    }
}

TEST(ZintSymbols, EciDesignatorsAreSkippedAndBytesStayRaw) {
    // UTF-8 text; the decoder hands the bytes over as they are.
    const Bytes message = {'G', 'r', 0xC3, 0xBC, 0xC3, 0x9F, 'e', ' ', '1', '2', '3', ' ', 0xE2, 0x82, 0xAC};
    for (const int eci : {3, 26, 899, 123456, 999999}) {
        EncodeOptions options;
        options.eci = eci;
        expectRoundTrip(message, options, "ECI " + std::to_string(eci));
    }
}

// ---- symbols larger than the data needs ----

TEST(ZintSymbols, ForcedLargerSymbolsDecodeToExactlyTheMessage) {
    // The last codeword's padding meets every ending mode and codeword width.
    const std::vector<Bytes> messages = {
        bytesOf("A"), bytesOf("a"), bytesOf("1"), bytesOf("!"), bytesOf("@"), Bytes{0xFF}, bytesOf("Hello, World! 42")};
    for (const auto& message : messages) {
        for (const auto& [size, layers] : {std::pair{AztecSize::Compact, 4}, std::pair{AztecSize::Full, 2},
                                           std::pair{AztecSize::Full, 8}, std::pair{AztecSize::Full, 14}}) {
            expectRoundTrip(message, EncodeOptions{size, layers}, std::string(message.begin(), message.end()));
        }
    }
    expectRoundTrip(bytesOf("A"), EncodeOptions{AztecSize::Full, 32}, "A in 32 layers");
    expectRoundTrip(Bytes{0xFF}, EncodeOptions{AztecSize::Full, 27}, "0xFF in 27 layers");
}

// ---- damaged codewords ----

struct DamageCase {
    const char* name;
    EncodeOptions options;
    int damagedCodewords;
};

void expectRepaired(const DamageCase& c) {
    const Bytes message = bytesOf(mixedText(25, 5));
    const ModuleBits clean = toModuleBits(encodeAztec(message, c.options));
    const auto params = readModeMessage(clean);
    ASSERT_TRUE(params.has_value());
    ASSERT_LE(2 * c.damagedCodewords, static_cast<int>(params->totalCodewords - params->dataCodewords));

    // Spread the damage over data and check words alike; flip every bit of
    // some codewords and a single bit of others.
    const auto where = layerBitModules(*params);
    const std::int64_t total = std::int64_t{params->codewordBits} * params->totalCodewords;
    ModuleBits damaged = clean;
    const std::int64_t stride = params->totalCodewords / c.damagedCodewords;
    for (std::int64_t k = 0; k < c.damagedCodewords; ++k) {
        const std::int64_t codeword = k * stride;
        const std::int64_t flips = k % 2 == 0 ? params->codewordBits : 1;
        for (std::int64_t j = 0; j < flips; ++j) {
            const auto [x, y] =
                where[static_cast<std::size_t>((params->spareBits + codeword * params->codewordBits + j) % total)];
            damaged[x][y] = !damaged[x][y];
        }
    }
    for (const ModuleBits& seen : {damaged, transformed(damaged, 1, true)}) {
        const auto data = decodeModuleData(seen);
        ASSERT_TRUE(data.has_value());
        EXPECT_EQ(data->text.bytes, message);
        EXPECT_EQ(data->correctedCodewords, c.damagedCodewords);
    }
}

TEST(ZintSymbols, DamagedCodewordsAreRepairedAndCounted) {
    const std::vector<DamageCase> cases = {
        DamageCase{"CompactOneCodeword", {AztecSize::Compact, 2}, 1},
        DamageCase{"CompactFive", {AztecSize::Compact, 3}, 5},
        DamageCase{"FullEightBitSeven", {AztecSize::Full, 4}, 7},
        DamageCase{"FullTenBitTwenty", {AztecSize::Full, 12}, 20},
        DamageCase{"FullTwelveBitThirty", {AztecSize::Full, 24}, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectRepaired(c);
    }
}

TEST(ZintSymbols, UndamagedSymbolCountsNoErrors) {
    const ModuleBits modules = toModuleBits(encodeAztec("No errors here", EncodeOptions{AztecSize::Full, 3}));
    const auto data = decodeModuleData(modules);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->text.bytes, bytesOf("No errors here"));
    EXPECT_EQ(data->correctedCodewords, 0);
}

}  // namespace
