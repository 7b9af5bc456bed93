#include "decode/mode_message.h"

#include <gtest/gtest.h>

#include "decode/decode_test_support.h"
#include "decode/pack_words.h"

namespace {

using namespace decode_test;
using AztecCore::packWords;
using AztecCore::parseModeMessage;
using AztecCore::parseRuneMessage;
using AztecCore::unpackWords;
using talavex_test::AztecSize;
using talavex_test::EncodeOptions;

// Mode-message bits (layers, data codewords, check words over GF(16)) laid
// out in a ring read from its reading corner, with the corner marks 3, 2, 1, 0.
BitVector modeRing(SymbolKind kind, std::uint32_t layers, std::uint32_t dataCodewords) {
    const BitVector modeBits = modeMessageBits(kind, layers, dataCodewords);
    const int q = kind == SymbolKind::Compact ? 10 : 14;
    BitVector ring(4 * static_cast<std::size_t>(q), false);
    for (const int p : {4 * q - 1, 0, 1, q - 1, q, 2 * q}) ring[static_cast<std::size_t>(p)] = true;
    const auto positions = modeBitRingPositions(kind);
    for (std::size_t k = 0; k < positions.size(); ++k) ring[static_cast<std::size_t>(positions[k])] = modeBits[k];
    return ring;
}

SymbolParameters withKind(SymbolKind kind) {
    SymbolParameters params;
    params.kind = kind;
    return params;
}

TEST(PackWords, ReadsMostSignificantBitFirstAndWrapsAround) {
    const BitVector data = bits("10110");
    EXPECT_EQ(packWords(data, 0, 1, 5), (std::vector<std::int32_t>{22}));
    // Positions 3, 4, 0, 1 and then 2, 3, 4, 0.
    EXPECT_EQ(packWords(data, 3, 2, 4), (std::vector<std::int32_t>{10, 13}));
    EXPECT_EQ(packWords(data, 0, 0, 4), std::vector<std::int32_t>{});
}

TEST(PackWords, UnpackIsTheInverseForFourBitWords) {
    const BitVector data = bits("0001 1111 1010 0110 1000");
    const auto words = packWords(data, 0, 5, 4);
    EXPECT_EQ(words, (std::vector<std::int32_t>{1, 15, 10, 6, 8}));
    BitVector back(data.size(), false);
    unpackWords(words, 5, back);
    EXPECT_EQ(back, data);
}

TEST(ModeMessage, CompactExample) {
    SymbolParameters params = withKind(SymbolKind::Compact);
    ASSERT_TRUE(parseModeMessage(params, modeRing(SymbolKind::Compact, 2, 4)));
    EXPECT_EQ(params.orientation, 0u);
    EXPECT_EQ(params.mirrored, 0);
    EXPECT_EQ(params.layers, 2u);
    EXPECT_EQ(params.dataCodewords, 4u);
    EXPECT_EQ(params.codewordBits, 6u);
    EXPECT_EQ(params.totalCodewords, 40u);
    EXPECT_EQ(params.symbolSize, 19u);
    EXPECT_EQ(params.spareBits, 0u);
    EXPECT_EQ(params.modeWordsCorrected, 0u);
}

TEST(ModeMessage, FullRangeExample) {
    SymbolParameters params = withKind(SymbolKind::Full);
    ASSERT_TRUE(parseModeMessage(params, modeRing(SymbolKind::Full, 9, 16)));
    EXPECT_EQ(params.layers, 9u);
    EXPECT_EQ(params.dataCodewords, 16u);
    EXPECT_EQ(params.codewordBits, 10u);
    EXPECT_EQ(params.totalCodewords, 230u);
    EXPECT_EQ(params.symbolSize, 53u);
    EXPECT_EQ(params.spareBits, 4u);
}

TEST(ModeMessage, ExtremeLayerAndCodewordCounts) {
    SymbolParameters compact = withKind(SymbolKind::Compact);
    ASSERT_TRUE(parseModeMessage(compact, modeRing(SymbolKind::Compact, 4, 64)));
    EXPECT_EQ(compact.layers, 4u);
    EXPECT_EQ(compact.dataCodewords, 64u);
    EXPECT_EQ(compact.totalCodewords, 76u);
    EXPECT_EQ(compact.symbolSize, 27u);
    SymbolParameters full = withKind(SymbolKind::Full);
    ASSERT_TRUE(parseModeMessage(full, modeRing(SymbolKind::Full, 32, 2048)));
    EXPECT_EQ(full.layers, 32u);
    EXPECT_EQ(full.dataCodewords, 2048u);
    EXPECT_EQ(full.codewordBits, 12u);
    EXPECT_EQ(full.totalCodewords, 1664u);
    EXPECT_EQ(full.symbolSize, 151u);
}

TEST(ModeMessage, RepairsDamagedModeWordsWithinTheCheckCapacity) {
    BitVector ring = modeRing(SymbolKind::Full, 5, 100);
    // Three damaged 4-bit words (full-range rings carry six check words).
    for (const int p : {2, 3, 16, 30, 31}) ring[static_cast<std::size_t>(p)] = !ring[static_cast<std::size_t>(p)];
    SymbolParameters params = withKind(SymbolKind::Full);
    ASSERT_TRUE(parseModeMessage(params, ring));
    EXPECT_EQ(params.layers, 5u);
    EXPECT_EQ(params.dataCodewords, 100u);
    EXPECT_EQ(params.modeWordsCorrected, 3u);
}

TEST(ModeMessage, DamageBeyondRepairLeavesTheParametersUntouched) {
    struct Damage {
        SymbolKind kind;
        std::vector<int> flips;
    };
    const std::vector<Damage> cases = {
        {SymbolKind::Compact, {2, 6, 13, 17, 24}},           // five of seven words
        {SymbolKind::Full, {2, 6, 11, 18, 23, 30, 34, 39}},  // eight of ten words
    };
    for (const auto& damage : cases) {
        BitVector ring = modeRing(damage.kind, 1, 1);
        for (const int p : damage.flips) ring[static_cast<std::size_t>(p)] = !ring[static_cast<std::size_t>(p)];
        SymbolParameters params = withKind(damage.kind);
        params.layers = 77;
        params.dataCodewords = 88;
        params.codewordBits = 99;
        params.totalCodewords = 111;
        params.symbolSize = 222;
        params.spareBits = 33;
        EXPECT_FALSE(parseModeMessage(params, ring));
        EXPECT_EQ(params.layers, 77u);
        EXPECT_EQ(params.dataCodewords, 88u);
        EXPECT_EQ(params.codewordBits, 99u);
        EXPECT_EQ(params.totalCodewords, 111u);
        EXPECT_EQ(params.symbolSize, 222u);
        EXPECT_EQ(params.spareBits, 33u);
    }
}

TEST(ModeMessage, RejectsCornerCountsOutsideTheTable) {
    for (const SymbolKind kind : {SymbolKind::Compact, SymbolKind::Full}) {
        const std::size_t q = kind == SymbolKind::Compact ? 10 : 14;
        BitVector threeThree = modeRing(kind, 1, 1);
        threeThree[q + 1] = true;  // corners 3, 3, 1, 0
        BitVector threeTwoTwo = modeRing(kind, 1, 1);
        threeTwoTwo[2 * q + 1] = true;  // corners 3, 2, 2, 0
        BitVector noMarks = modeRing(kind, 1, 1);
        for (std::size_t corner = 0; corner < 4; ++corner) {
            for (const std::size_t p : {corner * q, corner * q + 1, (corner * q + 4 * q - 1) % (4 * q)}) {
                noMarks[p] = false;
            }
        }
        SymbolParameters params = withKind(kind);
        EXPECT_FALSE(parseModeMessage(params, threeThree));
        EXPECT_FALSE(parseModeMessage(params, threeTwoTwo));
        EXPECT_FALSE(parseModeMessage(params, noMarks));
        EXPECT_TRUE(parseModeMessage(params, modeRing(kind, 1, 1)));
    }
}

TEST(ModeMessage, RejectsUnknownKindAndRingsOfTheWrongLength) {
    SymbolParameters none = withKind(SymbolKind::None);
    EXPECT_FALSE(parseModeMessage(none, modeRing(SymbolKind::Compact, 1, 1)));
    SymbolParameters full = withKind(SymbolKind::Full);
    EXPECT_FALSE(parseModeMessage(full, modeRing(SymbolKind::Compact, 1, 1)));
    SymbolParameters compact = withKind(SymbolKind::Compact);
    EXPECT_FALSE(parseModeMessage(compact, BitVector{}));
}

// An intact compact mode message must never read as a rune, even where its
// symbol's data cannot be read and the rune pass looks at its ring: all 256.
TEST(RuneMessage, NoCompactModeMessageReadsAsARune) {
    for (std::uint32_t layers = 1; layers <= 4; ++layers) {
        for (std::uint32_t words = 1; words <= 64; ++words) {
            SymbolParameters params = withKind(SymbolKind::Compact);
            EXPECT_FALSE(parseRuneMessage(params, modeRing(SymbolKind::Compact, layers, words)))
                << layers << " layers, " << words << " words";
            EXPECT_EQ(params.kind, SymbolKind::Compact);
        }
    }
}

// A rune's ring is a compact mode message whose two data words hold the value,
// with every word's bits inverted in the pattern 1010.
BitVector runeRing(std::uint32_t value) {
    BitVector ring = modeRing(SymbolKind::Compact, (value >> 6) + 1, (value & 63) + 1);
    const auto positions = modeBitRingPositions(SymbolKind::Compact);
    for (std::size_t k = 0; k < positions.size(); k += 2) {
        ring[static_cast<std::size_t>(positions[k])] = !ring[static_cast<std::size_t>(positions[k])];
    }
    return ring;
}

// With no data to cross-check, a ring one correction away from a rune is as
// likely to be noise as a damaged rune: only exact rings read.
TEST(RuneMessage, ReadsExactRingsAndRejectsRingsThatNeedCorrecting) {
    for (const std::uint32_t value : {0u, 37u, 128u, 255u}) {
        SymbolParameters params = withKind(SymbolKind::Compact);
        ASSERT_TRUE(parseRuneMessage(params, runeRing(value))) << value;
        EXPECT_EQ(params.kind, SymbolKind::Rune);
        EXPECT_EQ(params.runeValue, value);
        const auto positions = modeBitRingPositions(SymbolKind::Compact);
        for (const std::size_t bit : {std::size_t{1}, std::size_t{13}, std::size_t{27}}) {
            BitVector damaged = runeRing(value);
            const auto at = static_cast<std::size_t>(positions[bit]);
            damaged[at] = !damaged[at];
            EXPECT_FALSE(parseRuneMessage(params, damaged)) << value << ", mode bit " << bit << " flipped";
        }
    }
}

// ---- real symbols seen in every orientation, mirrored or not ----

TEST(ModeMessage, RealSymbolsInAllEightViews) {
    for (const auto& [size, layers] : {std::pair{AztecSize::Compact, 2}, std::pair{AztecSize::Full, 3}}) {
        const auto symbol = talavex_test::encodeAztec("Orientation 1234", EncodeOptions{size, layers});
        const ModuleBits upright = toModuleBits(symbol);
        const auto reference = readModeMessage(upright);
        ASSERT_TRUE(reference.has_value());
        ASSERT_EQ(reference->orientation, 0u);
        ASSERT_EQ(reference->mirrored, 0);

        for (int turns = 0; turns < 4; ++turns) {
            for (const bool mirror : {false, true}) {
                SCOPED_TRACE(std::to_string(symbol.size) + " modules, " + std::to_string(turns) + " turns" +
                             (mirror ? ", mirrored" : ""));
                const auto seen = readModeMessage(transformed(upright, turns, mirror));
                ASSERT_TRUE(seen.has_value());
                // Undoing the left-right mirror of the data decoding turns
                // "mirror, then rotate by r" into a rotation by -r.
                const int expected = mirror ? (4 - turns) % 4 : turns;
                EXPECT_EQ(seen->orientation, static_cast<std::uint32_t>(expected));
                EXPECT_EQ(seen->mirrored, mirror ? 1 : 0);
                EXPECT_EQ(seen->layers, static_cast<std::uint32_t>(layers));
                EXPECT_EQ(seen->dataCodewords, reference->dataCodewords);
                EXPECT_EQ(seen->symbolSize, static_cast<std::uint32_t>(symbol.size));
            }
        }
    }
}

}  // namespace
