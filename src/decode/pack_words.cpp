// Positions wrap around the bit vector: the data layers rely on this to read
// the few bits that the spiral stored past the end back at the start.
#include "decode/pack_words.h"

#include "common/bit_access.h"

namespace AztecCore {

std::vector<std::int32_t> packWords(const BitVector& bits, std::int64_t start, std::int32_t count, std::int32_t w) {
    std::vector<std::int32_t> words(static_cast<std::size_t>(count > 0 ? count : 0), 0);
    if (words.empty() || w <= 0) return words;
    const auto n = static_cast<std::int64_t>(bits.size());
    if (n == 0) throwInvalidSubscript();
    std::int64_t position = ((start % n) + n) % n;
    for (auto& word : words) {
        // Unsigned, so that an absurd width cannot overflow; real words have at most 12 bits.
        std::uint32_t value = 0;
        for (std::int32_t k = 0; k < w; ++k) {
            value = (value << 1) | (bitAt(bits, position) ? 1u : 0u);
            if (++position == n) position = 0;
        }
        word = static_cast<std::int32_t>(value);
    }
    return words;
}

void unpackWords(const std::vector<std::int32_t>& words, std::int32_t count, BitVector& bits) {
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t word = checkedAt(words, i);
        for (std::int32_t k = 0; k < 4; ++k) {
            setBitAt(bits, std::int64_t{4} * i + k, ((word >> (3 - k)) & 1) != 0);
        }
    }
}

}  // namespace AztecCore
