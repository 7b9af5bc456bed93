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

// The share, as a power of two, of all words of `words` codewords (the last
// `checkWords` of them check words, each `width` bits) that lie exactly
// `repaired` words away from some codeword: C(n, e) (q - 1)^e / q^c. A word
// damaged past repair is "repaired" that far into a wrong codeword about that
// often.
double miscorrectionLog2(std::int64_t words, std::int64_t checkWords, std::int64_t width, std::int64_t repaired);

// Repairs likelier than this to be miscorrections are refused: the last words
// of repair capacity in small symbols with few check words (a compact
// one-layer symbol with six check words repairs one word of three, with
// seven two words of three).
constexpr double kMostMiscorrectionLog2 = -18.0;

// Throws Aztec::ReedSolomon::ReedSolomonException / IllegalSymbolException.
std::optional<DataBits> correctDataBits(const BitVector& layerBits, const SymbolParameters& params);

}  // namespace AztecCore
