#pragma once
// The five character modes of Aztec Code (Upper, Lower, Mixed, Punct, Digit),
// their latches and shifts, binary shift and FLG(n).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// Decodes the first bitCount bits of `bits` (all of them when bitCount exceeds
// the size); the 1 bits that pad the end are not data. No result when the data
// is invalid: a reserved FLG(7), or an ECI designator digit outside 0..9.
std::optional<std::vector<std::uint8_t>> decodeText(const BitVector& bits, std::size_t bitCount);

}  // namespace AztecCore
