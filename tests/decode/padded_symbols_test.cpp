// Symbols whose encoder declared more data codewords than the message needs
// and filled them with padding (1 bits; w - 1 ones and a stuffed 0 per
// codeword). Built from real zint symbols by rewriting their data codewords,
// check words and mode message.
#include <gtest/gtest.h>

#include "decode/decode_test_support.h"
#include "decode/codeword_correction.h"
#include "decode/layer_bits.h"
#include "decode/pack_words.h"

namespace {

using namespace decode_test;
using talavex_test::AztecSize;
using talavex_test::EncodeOptions;

// The upright symbol with `padWords` extra data codewords of padding; `where`
// maps its layer bits to modules.
ModuleBits withPadCodewords(const ModuleBits& upright, std::uint32_t padWords,
                            const std::vector<std::pair<int, int>>& where) {
    const auto params = readModeMessage(upright);
    if (!params || params->orientation != 0 || params->mirrored != 0) throw std::runtime_error("not upright");
    const std::uint32_t width = params->codewordBits;
    const std::uint32_t dataWords = params->dataCodewords + padWords;
    if (dataWords + 2 > params->totalCodewords) throw std::runtime_error("no room for the padding");

    auto words =
        AztecCore::packWords(AztecCore::readLayerBits(*params, upright), params->spareBits,
                             static_cast<std::int32_t>(params->totalCodewords), static_cast<std::int32_t>(width));
    words.resize(params->dataCodewords);
    words.insert(words.end(), padWords, (1 << width) - 2);
    const auto check = checkWords(AztecCore::fieldForCodewordBits(width), words, static_cast<int>(params->totalCodewords - dataWords));
    words.insert(words.end(), check.begin(), check.end());

    ModuleBits modules = upright;
    const std::uint64_t total = std::uint64_t{width} * params->totalCodewords;
    for (std::uint64_t i = 0; i < words.size(); ++i) {
        for (std::uint32_t j = 0; j < width; ++j) {
            const auto [x, y] = where[(params->spareBits + i * width + j) % total];
            modules[x][y] = ((words[i] >> (width - 1 - j)) & 1) != 0;
        }
    }
    const auto ring = ringCoordinates(params->symbolSize, params->kind == SymbolKind::Compact ? 5 : 7);
    const BitVector modeBits = modeMessageBits(params->kind, params->layers, dataWords);
    const auto positions = modeBitRingPositions(params->kind);
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const auto [x, y] = ring[static_cast<std::size_t>(positions[k])];
        modules[x][y] = modeBits[k];
    }
    return modules;
}

struct PaddedCase {
    const char* name;
    Bytes message;
    EncodeOptions options;
};

void expectPaddingIgnored(const PaddedCase& c) {
    const ModuleBits upright = toModuleBits(talavex_test::encodeAztec(c.message, c.options));
    const auto params = readModeMessage(upright);
    ASSERT_TRUE(params.has_value());
    const auto where = layerBitModules(*params);
    const std::uint32_t room = params->totalCodewords - params->dataCodewords - 2;
    for (const std::uint32_t pad : {1u, 2u, 7u, 33u, 100u}) {
        if (pad > room) break;
        const ModuleBits padded = withPadCodewords(upright, pad, where);
        const auto read = readModeMessage(padded);
        ASSERT_TRUE(read.has_value());
        ASSERT_EQ(read->dataCodewords, params->dataCodewords + pad);
        EXPECT_EQ(decodeModules(padded), c.message) << pad << " pad codewords";
        // Seen mirrored and turned, once per symbol size.
        if (pad == 7) {
            EXPECT_EQ(decodeModules(transformed(padded, 3, true)), c.message) << pad << " pad codewords";
        }
    }
}

TEST(PaddedSymbols, DecodeToExactlyTheMessageWhateverTheEndingMode) {
    const std::vector<PaddedCase> cases = {
        PaddedCase{"Upper", bytesOf("AZTEC"), {AztecSize::Compact, 4}},
        PaddedCase{"Lower", bytesOf("aztec"), {AztecSize::Full, 2}},
        PaddedCase{"Digit", bytesOf("2024"), {AztecSize::Full, 6}},
        PaddedCase{"Mixed", bytesOf("a@"), {AztecSize::Full, 4}},
        PaddedCase{"Punct", bytesOf("Hi!?!"), {AztecSize::Full, 10}},
        PaddedCase{"Binary", Bytes{'x', 0x80, 0xFF}, {AztecSize::Full, 23}},
        PaddedCase{"CompactSixBit", bytesOf("Ab1"), {AztecSize::Compact, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectPaddingIgnored(c);
    }
}

}  // namespace
