// Reading the mode-message ring. The four corners of the ring carry 3, 2, 1
// and 0 dark modules clockwise from the corner where reading starts (3, 0, 1, 2
// when seen mirrored), which fixes both the rotation and the reflection before
// a single mode bit is trusted.
#include "decode/mode_message.h"

#include <array>
#include <cstddef>

#include "common/bit_access.h"
#include "decode/layer_table.h"
#include "decode/pack_words.h"
#include "reedsolomon/generic_gf.h"
#include "reedsolomon/rs_decoder.h"

namespace AztecCore {

namespace {

struct CornerPattern {
    std::array<std::int32_t, 4> counts;
    std::uint32_t orientation;
    std::uint8_t mirrored;
};

constexpr std::array<CornerPattern, 8> kCornerPatterns = {{
    {{3, 2, 1, 0}, 0, 0},
    {{0, 3, 2, 1}, 1, 0},
    {{1, 0, 3, 2}, 2, 0},
    {{2, 1, 0, 3}, 3, 0},
    {{2, 3, 0, 1}, 0, 1},
    {{3, 0, 1, 2}, 1, 1},
    {{0, 1, 2, 3}, 2, 1},
    {{1, 2, 3, 0}, 3, 1},
}};

// Positions within a ring side (0 = the side's starting corner) that carry
// mode bits. The full-range ring skips position 7, where the central
// reference-grid line crosses it.
constexpr std::array<std::int64_t, 7> kCompactSidePositions = {2, 3, 4, 5, 6, 7, 8};
constexpr std::array<std::int64_t, 10> kFullSidePositions = {2, 3, 4, 5, 6, 8, 9, 10, 11, 12};

std::int64_t wrap(std::int64_t position, std::int64_t n) { return ((position % n) + n) % n; }

bool ringBit(const BitVector& ring, std::int64_t position) {
    return bitAt(ring, wrap(position, static_cast<std::int64_t>(ring.size())));
}

template <std::size_t K>
BitVector collectModeBits(const BitVector& ring, std::uint32_t orientation, bool mirrored,
                          const std::array<std::int64_t, K>& sidePositions) {
    const auto n = static_cast<std::int64_t>(ring.size());
    const std::int64_t q = n / 4;
    BitVector modeBits;
    modeBits.reserve(4 * K);
    for (std::int64_t block = 0; block < 4; ++block) {
        const std::int64_t side = (orientation + block) % 4;
        for (const std::int64_t within : sidePositions) {
            const std::int64_t position = side * q + within;
            // A left-right mirror image carries ring position p to q - p (the
            // top-left corner to the top-right one); reading q - p undoes it,
            // and the data decoding mirrors the module grid the same way.
            modeBits.push_back(ringBit(ring, mirrored ? q - position : position));
        }
    }
    return modeBits;
}

std::int32_t readField(const BitVector& bits, std::int64_t start, std::int32_t width) {
    return packWords(bits, start, 1, width).front();
}

}  // namespace

std::int32_t correctModeMessage(BitVector& modeBits, bool compact) {
    const std::int32_t count = compact ? 7 : 10;
    const std::int32_t checkWords = compact ? 5 : 6;
    std::vector<std::int32_t> words = packWords(modeBits, 0, count, 4);
    const std::int32_t repaired = Aztec::ReedSolomon::RsDecoder(Aztec::ReedSolomon::Field16).correct(words, checkWords);
    unpackWords(words, count, modeBits);
    return repaired;
}

namespace {

// The corner pattern the ring's orientation marks form, if any.
const CornerPattern* matchCorners(const BitVector& ringBits) {
    const auto n = static_cast<std::int64_t>(ringBits.size());
    const std::int64_t q = n / 4;
    std::array<std::int32_t, 4> counts{};
    for (std::size_t k = 0; k < counts.size(); ++k) {
        const std::int64_t corner = static_cast<std::int64_t>(k) * q;
        for (std::int64_t d = -1; d <= 1; ++d) counts[k] += ringBit(ringBits, corner + d) ? 1 : 0;
    }
    const CornerPattern* match = nullptr;
    for (const auto& pattern : kCornerPatterns) {
        if (pattern.counts == counts) match = &pattern;
    }
    return match;
}

// A rune's mode words are an ordinary compact mode message's with each
// word's bits inverted in the pattern 1010, which keeps the two apart.
constexpr std::int32_t kRuneWordMask = 0xA;
constexpr std::uint32_t kRuneSide = 11;

}  // namespace

bool parseRuneMessage(SymbolParameters& params, const BitVector& ringBits) {
    if (ringBits.size() != 40u) return false;
    const CornerPattern* match = matchCorners(ringBits);
    if (match == nullptr) return false;
    try {
        const BitVector modeBits =
            collectModeBits(ringBits, match->orientation, match->mirrored != 0, kCompactSidePositions);
        std::vector<std::int32_t> words = packWords(modeBits, 0, 7, 4);
        for (auto& word : words) word ^= kRuneWordMask;
        // A rune has no data whose decoding could reject a miscorrected ring,
        // and random rings land within two corrections of one of the 256 rune
        // words about once in two hundred: only an exact ring is a rune.
        if (Aztec::ReedSolomon::RsDecoder(Aztec::ReedSolomon::Field16).correct(words, 5) != 0) return false;
        params = SymbolParameters{};
        params.kind = SymbolKind::Rune;
        params.orientation = match->orientation;
        params.mirrored = match->mirrored;
        params.symbolSize = kRuneSide;
        params.runeValue = static_cast<std::uint32_t>(words[0] << 4 | words[1]);
        return true;
    } catch (...) {
        return false;
    }
}

bool parseModeMessage(SymbolParameters& params, const BitVector& ringBits) {
    const bool compact = params.kind == SymbolKind::Compact;
    if (!compact && params.kind != SymbolKind::Full) return false;
    if (ringBits.size() != (compact ? 40u : 56u)) return false;

    try {
        const CornerPattern* match = matchCorners(ringBits);
        if (match == nullptr) return false;
        params.orientation = match->orientation;
        params.mirrored = match->mirrored;

        BitVector modeBits =
            compact ? collectModeBits(ringBits, match->orientation, match->mirrored != 0, kCompactSidePositions)
                    : collectModeBits(ringBits, match->orientation, match->mirrored != 0, kFullSidePositions);
        const std::int32_t repaired = correctModeMessage(modeBits, compact);

        const std::int32_t layerFieldBits = compact ? 2 : 5;
        const std::int32_t dataFieldBits = compact ? 6 : 11;
        const auto layers = static_cast<std::uint32_t>(readField(modeBits, 0, layerFieldBits) + 1);
        const auto dataCodewords = static_cast<std::uint32_t>(readField(modeBits, layerFieldBits, dataFieldBits) + 1);
        const auto shape = layerShape(params.kind, layers);
        if (!shape) return false;

        params.layers = layers;
        params.dataCodewords = dataCodewords;
        params.codewordBits = shape->codewordBits;
        params.totalCodewords = shape->totalCodewords;
        params.symbolSize = shape->symbolSize;
        params.spareBits = shape->spareBits;
        params.modeWordsCorrected = static_cast<std::uint32_t>(repaired);
        return true;
    } catch (...) {
        // A ring that cannot be corrected is simply not a mode message.
        return false;
    }
}

}  // namespace AztecCore
