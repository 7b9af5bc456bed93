#include "decode/wrapped_data_count.h"

#include <cstdint>

namespace AztecCore {

namespace {

// How far a six-bit count wraps.
constexpr std::uint32_t kCompactCountRange = 64;
// Check words that must stay unused by the correction. Only reads that fail
// as the mode message says come here, so the data's check words are all that
// tells a symbol from noise: six unused ones let a wrong block through less
// than once in 2^48.
constexpr std::int64_t kSpareCheckWords = 6;

}  // namespace

std::optional<SymbolData> decodeWrappedDataCount(SymbolParameters& shape, const ModuleBits& modules) {
    if (shape.kind != SymbolKind::Compact) return std::nullopt;
    SymbolParameters wrapped = shape;
    wrapped.dataCodewords += kCompactCountRange;
    const std::int64_t checkWords =
        static_cast<std::int64_t>(wrapped.totalCodewords) - static_cast<std::int64_t>(wrapped.dataCodewords);
    if (checkWords < kSpareCheckWords) return std::nullopt;
    auto data = decodeSymbolDetails(wrapped, modules, false);
    if (!data || checkWords - 2 * std::int64_t{data->correctedCodewords} < kSpareCheckWords) return std::nullopt;
    shape.dataCodewords = wrapped.dataCodewords;
    return data;
}

}  // namespace AztecCore
