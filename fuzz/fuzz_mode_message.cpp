// Any ring of 40 or 56 bits through the mode-message decoding: it either
// accepts with parameters from the layer tables or rejects; it never throws.
#include <cstdint>
#include <cstdlib>

#include "decode/mode_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    AztecCore::SymbolParameters params;
    params.kind = static_cast<AztecCore::SymbolKind>(data[0] % 3);
    const std::size_t n = (data[0] & 0x80) ? 56 : 40;
    AztecCore::BitVector ring(n);
    for (std::size_t i = 0; i < n; ++i) ring[i] = 1 + i / 8 < size && ((data[1 + i / 8] >> (i % 8)) & 1);
    if (AztecCore::parseModeMessage(params, ring)) {
        const bool compact = params.kind == AztecCore::SymbolKind::Compact;
        if (params.layers < 1 || params.layers > (compact ? 4u : 32u) || params.orientation > 3) std::abort();
    }
    return 0;
}
