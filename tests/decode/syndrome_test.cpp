// The check words in real symbols are built on the generator roots alpha^1 ..
// alpha^n, not alpha^0 .. alpha^(n-1): every syndrome at alpha^1 .. alpha^n of
// an undamaged symbol is zero, while the one at alpha^0 usually is not.
#include <gtest/gtest.h>

#include "decode/codeword_correction.h"
#include "decode/decode_test_support.h"
#include "decode/layer_bits.h"
#include "decode/pack_words.h"
#include "reedsolomon/generic_gf.h"

namespace {

using namespace decode_test;
using talavex_test::AztecSize;
using talavex_test::EncodeOptions;

struct Syndromes {
    bool allZeroFromAlpha1 = true;
    bool zeroAtAlpha0 = true;
};

Syndromes syndromes(const GenericGF& field, const std::vector<std::int32_t>& words, int checkCount) {
    Syndromes s;
    for (int i = 1; i <= checkCount; ++i) s.allZeroFromAlpha1 &= rstest::evaluate(field, words, field.exp(i)) == 0;
    s.zeroAtAlpha0 = rstest::evaluate(field, words, 1) == 0;
    return s;
}

// The 7 or 10 mode-message words of an upright symbol, straight from its ring.
std::vector<std::int32_t> modeWords(const ModuleBits& modules, SymbolKind kind) {
    const BitVector ring = sampleRing(modules, kind == SymbolKind::Compact ? 5 : 7);
    BitVector modeBits;
    for (const int p : modeBitRingPositions(kind)) modeBits.push_back(ring[static_cast<std::size_t>(p)]);
    return AztecCore::packWords(modeBits, 0, static_cast<std::int32_t>(modeBits.size() / 4), 4);
}

TEST(Syndromes, OfRealSymbolsVanishFromAlphaOneOn) {
    int dataNonZeroAtAlpha0 = 0;
    int modeNonZeroAtAlpha0 = 0;
    int symbols = 0;
    for (const auto& [size, layers] :
         {std::pair{AztecSize::Compact, 1}, std::pair{AztecSize::Compact, 2}, std::pair{AztecSize::Compact, 3},
          std::pair{AztecSize::Compact, 4}, std::pair{AztecSize::Full, 1}, std::pair{AztecSize::Full, 5},
          std::pair{AztecSize::Full, 12}, std::pair{AztecSize::Full, 23}, std::pair{AztecSize::Full, 32}}) {
        for (const char* text : {"Syndrome", "alpha 1 to n"}) {
            const ModuleBits modules = toModuleBits(talavex_test::encodeAztec(text, EncodeOptions{size, layers}));
            const auto params = readModeMessage(modules);
            ASSERT_TRUE(params.has_value());
            ++symbols;

            const auto layerWords = AztecCore::packWords(AztecCore::readLayerBits(*params, modules), params->spareBits,
                                                         static_cast<std::int32_t>(params->totalCodewords),
                                                         static_cast<std::int32_t>(params->codewordBits));
            const auto data = syndromes(AztecCore::fieldForCodewordBits(params->codewordBits), layerWords,
                                        static_cast<int>(params->totalCodewords - params->dataCodewords));
            EXPECT_TRUE(data.allZeroFromAlpha1) << text << ", " << layers << " layers";
            dataNonZeroAtAlpha0 += data.zeroAtAlpha0 ? 0 : 1;

            const bool compact = params->kind == SymbolKind::Compact;
            const auto mode = syndromes(Aztec::ReedSolomon::Field16, modeWords(modules, params->kind), compact ? 5 : 6);
            EXPECT_TRUE(mode.allZeroFromAlpha1) << text << ", " << layers << " layers";
            modeNonZeroAtAlpha0 += mode.zeroAtAlpha0 ? 0 : 1;
        }
    }
    EXPECT_GT(dataNonZeroAtAlpha0, symbols / 2);
    EXPECT_GT(modeNonZeroAtAlpha0, 0);
}

}  // namespace
