#pragma once
// What the mode message tells about a symbol: its kind, how it lies in the
// image, and the shape of its data layers. Filled by the mode-message decoding
// and read by the data decoding; the locator's candidate record extends it.
#include <cstdint>
#include <vector>

namespace AztecCore {

// A rune is a compact finder with only its mode ring, which holds one value.
enum class SymbolKind : std::uint32_t { None = 0, Compact = 1, Full = 2, Rune = 3 };

struct SymbolParameters {
    SymbolKind kind = SymbolKind::None;
    std::uint32_t orientation = 0;  // quarter turns, 0..3
    std::uint8_t mirrored = 0;      // 1 when seen mirrored
    std::uint32_t dataCodewords = 0;
    std::uint32_t codewordBits = 0;  // 6, 8, 10 or 12
    std::uint32_t totalCodewords = 0;
    std::uint32_t layers = 0;
    std::uint32_t symbolSize = 0;  // side in modules
    std::uint32_t spareBits = 0;   // layer bits left over after the codewords
    std::uint32_t runeValue = 0;   // 0..255, runes only
    // Mode-message words the correction repaired: a repaired mode message may
    // have been repaired into another one, so its data count is checked
    // against the codewords (correctDataBits).
    std::uint32_t modeWordsCorrected = 0;
};

using BitVector = std::vector<bool>;

// symbolSize columns of symbolSize bits: bits[x][y] is module (x, y) as the
// symbol lies in the image (column 0 leftmost, row 0 topmost), true = dark.
using ModuleBits = std::vector<BitVector>;

}  // namespace AztecCore
