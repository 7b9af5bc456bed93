#pragma once
// Reading a located candidate: its modules sampled and its data decoded
// under the pass's rules.
#include "decode/read_rules.h"
#include "locate/symbol_locator.h"
#include "search/symbol_read.h"

namespace AztecCore {

struct CandidateRead {
    // The symbol with its geometry in the locator's image; its data is empty
    // when it could not be read.
    SymbolRead symbol;
    bool read = false;
};

// With `rules.gridRetries`, a full-range symbol whose data fails is sampled
// again through rebuilt grids (the candidate then takes the grid that read);
// with `rules.wrappedDataCount`, a compact one is read once more with its data
// count taken as wrapped round; with `rules.readerInit`, reader-initialisation
// symbols are read too.
CandidateRead readCandidate(SymbolLocator& locator, SymbolCandidate& cand, ReadRules rules);

}  // namespace AztecCore
