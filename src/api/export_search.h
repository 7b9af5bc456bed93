#pragma once
// One export's search: its gray image (the caller's luminance read in place,
// or converted from BGRA) through its one-pass plan. The golden check reads
// the pass's diagnostics beside the bytes.
#include <cstdint>
#include <string>

#include "search/engine.h"
#include "search/plan.h"

namespace AztecCore {

struct ExportSearch {
    SearchResult result;
    // The bytes read, one char each (zero bytes kept); "" when none were.
    std::string text() const;
    const PassDiagnostics& diagnostics() const { return result.ran.front().diagnostics; }
};

// Exceptions propagate: the export turns them into "error".
ExportSearch searchForExport(Export which, const std::uint8_t* pixels, std::int32_t width, std::int32_t height);

}  // namespace AztecCore
