#pragma once
// Helpers shared by the decoding tests: bit strings, module matrices of real
// zint symbols (rotated and mirrored), the mode-message ring, and a small
// Reed-Solomon encoder for building symbols the encoder would not make.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "decode/codeword_correction.h"
#include "decode/layer_bits.h"
#include "decode/mode_message.h"
#include "decode/pack_words.h"
#include "decode/symbol_data.h"
#include "decode/symbol_parameters.h"
#include "reedsolomon/generic_gf.h"
#include "support/aztec_encoder.h"
#include "support/rs_encoder.h"

namespace decode_test {

using Aztec::ReedSolomon::GenericGF;
using AztecCore::BitVector;
using AztecCore::ModuleBits;
using AztecCore::SymbolKind;
using AztecCore::SymbolParameters;
using Bytes = std::vector<std::uint8_t>;

// "00010 00011" -> bits; spaces are ignored.
inline BitVector bits(const std::string& pattern) {
    BitVector result;
    for (const char c : pattern) {
        if (c == '0' || c == '1')
            result.push_back(c == '1');
        else if (c != ' ')
            throw std::invalid_argument("bit pattern");
    }
    return result;
}

// Appends `count` copies of `value`.
inline void appendRun(BitVector& target, bool value, std::size_t count) { target.insert(target.end(), count, value); }

// The value written as `width` bits, most significant first.
inline std::string binary(std::uint32_t value, int width) {
    std::string text;
    for (int k = width - 1; k >= 0; --k) text.push_back(((value >> k) & 1) != 0 ? '1' : '0');
    return text;
}

inline Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline ModuleBits toModuleBits(const talavex_test::AztecSymbol& symbol) {
    ModuleBits modules(static_cast<std::size_t>(symbol.size), BitVector(static_cast<std::size_t>(symbol.size)));
    for (int x = 0; x < symbol.size; ++x) {
        for (int y = 0; y < symbol.size; ++y) modules[x][y] = symbol.dark(x, y);
    }
    return modules;
}

// Back to the row-major matrix the renderer takes.
inline talavex_test::AztecSymbol toSymbol(const ModuleBits& modules) {
    talavex_test::AztecSymbol symbol;
    symbol.size = static_cast<int>(modules.size());
    symbol.modules.resize(modules.size() * modules.size());
    for (int x = 0; x < symbol.size; ++x) {
        for (int y = 0; y < symbol.size; ++y)
            symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] = modules[x][y] ? 1 : 0;
    }
    return symbol;
}

// The matrix as an image rotated a quarter turn clockwise.
inline ModuleBits rotateClockwise(const ModuleBits& modules) {
    const std::size_t size = modules.size();
    ModuleBits rotated(size, BitVector(size));
    // Image point (x, y) moves to (size - 1 - y, x).
    for (std::size_t x = 0; x < size; ++x) {
        for (std::size_t y = 0; y < size; ++y) rotated[size - 1 - y][x] = modules[x][y];
    }
    return rotated;
}

inline ModuleBits mirrorLeftRight(const ModuleBits& modules) { return ModuleBits(modules.rbegin(), modules.rend()); }

// Mirrored first (when asked), then rotated `quarterTurns` times clockwise.
inline ModuleBits transformed(const ModuleBits& modules, int quarterTurns, bool mirror) {
    ModuleBits result = mirror ? mirrorLeftRight(modules) : modules;
    for (int k = 0; k < quarterTurns; ++k) result = rotateClockwise(result);
    return result;
}

// Module coordinates of the square ring at `radius` around the centre,
// clockwise from its top-left corner.
inline std::vector<std::pair<int, int>> ringCoordinates(int size, int radius) {
    const int c = size / 2;
    std::vector<std::pair<int, int>> ring;
    for (int k = 0; k < 2 * radius; ++k) ring.emplace_back(c - radius + k, c - radius);
    for (int k = 0; k < 2 * radius; ++k) ring.emplace_back(c + radius, c - radius + k);
    for (int k = 0; k < 2 * radius; ++k) ring.emplace_back(c + radius - k, c + radius);
    for (int k = 0; k < 2 * radius; ++k) ring.emplace_back(c - radius, c + radius - k);
    return ring;
}

inline BitVector sampleRing(const ModuleBits& modules, int radius) {
    BitVector ring;
    for (const auto& [x, y] : ringCoordinates(static_cast<int>(modules.size()), radius)) ring.push_back(modules[x][y]);
    return ring;
}

// Full-range when the ring at radius 5 is all light (the finder's light ring),
// else compact.
inline SymbolKind finderKind(const ModuleBits& modules) {
    for (const bool dark : sampleRing(modules, 5)) {
        if (dark) return SymbolKind::Compact;
    }
    return SymbolKind::Full;
}

// Samples the ring and runs parseModeMessage, as the locator would.
inline std::optional<SymbolParameters> readModeMessage(const ModuleBits& modules) {
    SymbolParameters params;
    params.kind = finderKind(modules);
    const int radius = params.kind == SymbolKind::Compact ? 5 : 7;
    if (!AztecCore::parseModeMessage(params, sampleRing(modules, radius))) return std::nullopt;
    return params;
}

// The module (x, y) that lands at each layer-bit index.
inline std::vector<std::pair<int, int>> layerBitModules(const SymbolParameters& params) {
    // Each probe matrix sets the modules whose index has bit b set, so reading
    // it tells bit b of the module index behind every layer bit.
    const int size = static_cast<int>(params.symbolSize);
    const std::int64_t total = std::int64_t{params.codewordBits} * params.totalCodewords;
    std::vector<std::int64_t> index(static_cast<std::size_t>(total), 0);
    for (int b = 0; (std::int64_t{1} << b) < std::int64_t{size} * size; ++b) {
        ModuleBits probe(static_cast<std::size_t>(size), BitVector(static_cast<std::size_t>(size)));
        for (int x = 0; x < size; ++x) {
            for (int y = 0; y < size; ++y) probe[x][y] = (((std::int64_t{x} * size + y) >> b) & 1) != 0;
        }
        const BitVector read = AztecCore::readLayerBits(params, probe);
        for (std::int64_t k = 0; k < total; ++k) {
            if (read[static_cast<std::size_t>(k)]) index[static_cast<std::size_t>(k)] |= std::int64_t{1} << b;
        }
    }
    std::vector<std::pair<int, int>> modules;
    for (const std::int64_t i : index) modules.emplace_back(static_cast<int>(i / size), static_cast<int>(i % size));
    return modules;
}

// Systematic Reed-Solomon check words with generator roots alpha^1 .. alpha^n.
inline std::vector<std::int32_t> checkWords(const GenericGF& field, const std::vector<std::int32_t>& data, int n) {
    const std::vector<std::int32_t> codeword = rstest::encode(field, data, n);
    return std::vector<std::int32_t>(codeword.begin() + static_cast<std::ptrdiff_t>(data.size()), codeword.end());
}

// The mode message of a symbol (28 or 40 bits): layers and data codewords
// followed by their check words.
inline BitVector modeMessageBits(SymbolKind kind, std::uint32_t layers, std::uint32_t dataCodewords) {
    const bool compact = kind == SymbolKind::Compact;
    const std::uint32_t value =
        compact ? ((layers - 1) << 6) | (dataCodewords - 1) : ((layers - 1) << 11) | (dataCodewords - 1);
    const int dataWords = compact ? 2 : 4;
    std::vector<std::int32_t> words;
    for (int k = dataWords - 1; k >= 0; --k) words.push_back(static_cast<std::int32_t>((value >> (4 * k)) & 15));
    const auto check = checkWords(Aztec::ReedSolomon::Field16, words, compact ? 5 : 6);
    words.insert(words.end(), check.begin(), check.end());
    BitVector modeBits(words.size() * 4);
    AztecCore::unpackWords(words, static_cast<std::int32_t>(words.size()), modeBits);
    return modeBits;
}

// Ring positions (clockwise from the reading corner) of the mode bits, in order.
inline std::vector<int> modeBitRingPositions(SymbolKind kind) {
    const bool compact = kind == SymbolKind::Compact;
    const std::vector<int> withinSide =
        compact ? std::vector<int>{2, 3, 4, 5, 6, 7, 8} : std::vector<int>{2, 3, 4, 5, 6, 8, 9, 10, 11, 12};
    const int q = compact ? 10 : 14;
    std::vector<int> positions;
    for (int side = 0; side < 4; ++side) {
        for (const int p : withinSide) positions.push_back(side * q + p);
    }
    return positions;
}

// The data codewords of an upright symbol, as its mode message counts them.
inline std::vector<std::int32_t> dataCodewords(const ModuleBits& upright) {
    const auto params = readModeMessage(upright);
    if (!params || params->orientation != 0 || params->mirrored != 0) throw std::runtime_error("not upright");
    auto words = AztecCore::packWords(AztecCore::readLayerBits(*params, upright), params->spareBits,
                                      static_cast<std::int32_t>(params->totalCodewords),
                                      static_cast<std::int32_t>(params->codewordBits));
    words.resize(params->dataCodewords);
    return words;
}

// The upright symbol with `words` as its data codewords, check words and mode
// message to match; `where` maps its layer bits to modules (layerBitModules).
inline ModuleBits withDataCodewords(const ModuleBits& upright, std::vector<std::int32_t> words,
                                    const std::vector<std::pair<int, int>>& where) {
    const auto params = readModeMessage(upright);
    if (!params || params->orientation != 0 || params->mirrored != 0) throw std::runtime_error("not upright");
    const std::uint32_t width = params->codewordBits;
    const auto dataWords = static_cast<std::uint32_t>(words.size());
    if (dataWords == 0 || dataWords + 2 > params->totalCodewords) throw std::runtime_error("no room for the data");
    const auto check =
        checkWords(AztecCore::fieldForCodewordBits(width), words, static_cast<int>(params->totalCodewords - dataWords));
    words.insert(words.end(), check.begin(), check.end());

    ModuleBits modules = upright;
    const std::uint64_t total = std::uint64_t{width} * params->totalCodewords;
    for (std::uint64_t i = 0; i < words.size(); ++i) {
        for (std::uint32_t j = 0; j < width; ++j) {
            const auto [x, y] = where[(params->spareBits + i * width + j) % total];
            modules[x][y] = ((words[i] >> (width - 1 - j)) & 1) != 0;
        }
    }
    const auto ring =
        ringCoordinates(static_cast<int>(params->symbolSize), params->kind == SymbolKind::Compact ? 5 : 7);
    const BitVector modeBits = modeMessageBits(params->kind, params->layers, dataWords);
    const auto positions = modeBitRingPositions(params->kind);
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const auto [x, y] = ring[static_cast<std::size_t>(positions[k])];
        modules[x][y] = modeBits[k];
    }
    return modules;
}

// Samples the mode ring and decodes the data, as the locator and reader would.
inline std::optional<AztecCore::SymbolData> decodeModuleData(const ModuleBits& modules) {
    const auto params = readModeMessage(modules);
    if (!params) return std::nullopt;
    return AztecCore::decodeSymbolDetails(*params, modules, false);
}

inline std::optional<Bytes> decodeModules(const ModuleBits& modules) {
    auto data = decodeModuleData(modules);
    if (!data) return std::nullopt;
    return std::move(data->text.bytes);
}

}  // namespace decode_test
