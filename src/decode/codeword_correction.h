#pragma once
// Data codewords: Reed-Solomon correction over the field of the codeword
// width, then removal of the stuffed bits.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "decode/symbol_parameters.h"
#include "reedsolomon/generic_gf.h"

namespace AztecCore {

// The corrected data bits (stuffing removed) and how many of them are real.
struct DataBits {
    BitVector bits;                   // dataCodewords * codewordBits bits
    std::size_t usedBits = 0;         // bits left after stuffed-bit removal
    std::int32_t correctedWords = 0;  // codewords the Reed-Solomon decoder repaired
};

// The Galois field whose elements are codewords of `width` bits (6, 8, 10, 12).
const Aztec::ReedSolomon::GenericGF& fieldForCodewordBits(std::uint32_t width);

// No result for an inconsistent shape or a repair likelier than 2^-18 to be
// a miscorrection. Throws Aztec::ReedSolomon::ReedSolomonException /
// IllegalSymbolException.
std::optional<DataBits> correctDataBits(const BitVector& layerBits, const SymbolParameters& params);

}  // namespace AztecCore
