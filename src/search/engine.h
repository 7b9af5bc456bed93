#pragma once
// Runs a plan (search/plan.h) on one gray image: its passes in order until
// one reads, each skipped where what earlier passes saw shows that it would
// find nothing; then, up to the plan's limit, its further passes on the image
// with the symbols read so far blanked out. A deadline that passes stops the
// search where it stands, with what it has read.
#include <cstdint>
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "search/pass_outcome.h"
#include "search/plan.h"

namespace AztecCore {

struct FoundSymbol {
    SymbolRead symbol;
    bool inverted = false;  // read with light and dark swapped
};

struct PassRecord {
    Pass pass;
    PassDiagnostics diagnostics;
};

struct SearchResult {
    std::vector<FoundSymbol> reads;  // in the order found, each symbol once
    // The first symbol a pass located without reading it (none once one is read).
    std::optional<FoundSymbol> unreadable;
    std::vector<PassRecord> ran;  // every pass that ran, in order
    bool outOfTime = false;       // the deadline stopped the search
};

// The image may be lent (GrayBuf::lend): the search writes only to copies.
SearchResult runPlan(const Plan& plan, Image::GrayBuf gray, const Deadline& deadline);

}  // namespace AztecCore
