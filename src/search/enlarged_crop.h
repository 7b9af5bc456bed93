#pragma once
// The crop around a located or suspected bull's-eye (ten ring widths wide),
// enlarged by edge-step resampling at decreasing factors until one factor
// reads: small or soft modules become large, sharp ones.
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "decode/read_rules.h"
#include "locate/symbol_locator.h"
#include "search/symbol_read.h"

namespace AztecCore {

// The longest side an enlarged crop may have.
inline constexpr std::int32_t kMaxScaledSide = 4000;

struct EnlargedAttempts {
    std::optional<SymbolRead> read;  // corners and module size in the searched image
    float scale = 0.0f;              // the factor that read it
    // The last symbol an attempt located without reading its data, likewise.
    std::optional<SymbolRead> unreadable;
};

// Whether an enlargement runs out of memory only costs its factor, the photo
// export writing one line about it to standard output; nothing else writes.
enum class OutOfMemoryReport { Silent, StandardOutput };

// The crop around `cand` in the locator's source at each of `scales` (largest
// first) that the size limits allow; the deadline is checked before each.
EnlargedAttempts readEnlargedCrop(const SymbolLocator& locator, const SymbolCandidate& cand,
                                  const std::vector<float>& scales, ReadRules rules, const Deadline& deadline,
                                  OutOfMemoryReport report = OutOfMemoryReport::Silent);

}  // namespace AztecCore
