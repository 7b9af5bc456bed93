#pragma once
// From sampled modules to message bytes: layer spiral, codeword correction,
// stuffed-bit removal and text decoding.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/symbol_parameters.h"
#include "reedsolomon/generic_gf.h"

namespace AztecCore {

// The corrected data bits (stuffing removed) and how many of them are real.
struct DataBits {
    BitVector bits;            // dataCodewords * codewordBits bits
    std::size_t usedBits = 0;  // bits left after stuffed-bit removal
};

// No result when the symbol cannot be read; other exceptions propagate.
std::optional<std::vector<std::uint8_t>> decodeSymbolData(const SymbolParameters& params, const ModuleBits* modules);

// The Galois field whose elements are codewords of `width` bits (6, 8, 10, 12).
const Aztec::ReedSolomon::GenericGF& fieldForCodewordBits(std::uint32_t width);

// Throws Aztec::ReedSolomon::ReedSolomonException / IllegalSymbolException.
std::optional<DataBits> correctDataBits(const BitVector& layerBits, const SymbolParameters& params);

}  // namespace AztecCore
