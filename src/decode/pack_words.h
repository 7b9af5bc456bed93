#pragma once
// Word packing shared by the mode message and the data layers.
#include <cstdint>
#include <vector>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// count words of w bits from position start, most significant bit first;
// positions are taken modulo bits.size().
std::vector<std::int32_t> packWords(const BitVector& bits, std::int64_t start, std::int32_t count, std::int32_t w);

// Inverse of packWords for w = 4 and start = 0.
void unpackWords(const std::vector<std::int32_t>& words, std::int32_t count, BitVector& bits);

}  // namespace AztecCore
