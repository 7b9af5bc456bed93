// Any bit string through the character-mode decoding.
#include <cstdint>

#include "decode/text_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    AztecCore::BitVector bits((size - 2) * 8);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = (data[2 + i / 8] >> (7 - i % 8)) & 1;
    const std::size_t count = (data[0] | (data[1] << 8)) % (bits.size() + 1);
    (void)AztecCore::decodeTextWithFlags(bits, count);
    return 0;
}
