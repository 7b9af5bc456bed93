// Symbols whose encoder declared more data codewords than the message needs
// and filled them with padding (1 bits; w - 1 ones and a stuffed 0 per
// codeword). Built from real zint symbols by rewriting their data codewords,
// check words and mode message.
#include <gtest/gtest.h>

#include "decode/decode_test_support.h"

namespace {

using namespace decode_test;
using talavex_test::AztecSize;
using talavex_test::EncodeOptions;

// The upright symbol with `padWords` extra data codewords of padding; `where`
// maps its layer bits to modules.
ModuleBits withPadCodewords(const ModuleBits& upright, std::uint32_t padWords,
                            const std::vector<std::pair<int, int>>& where) {
    const auto params = readModeMessage(upright);
    if (!params) throw std::runtime_error("no mode message");
    std::vector<std::int32_t> words = dataCodewords(upright);
    words.insert(words.end(), padWords, (1 << params->codewordBits) - 2);
    return withDataCodewords(upright, words, where);
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
