#pragma once
// What one pass of the search came to: the symbol it read, the unreadable
// one it located, what it saw that later passes may go by, and a record of
// how it ended that only diagnostics read.
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/symbol_parameters.h"
#include "locate/symbol_candidate.h"
#include "photo/bullseye_candidates.h"
#include "search/symbol_read.h"

namespace AztecCore {

enum ScanStatus : std::int32_t { NotFound = 0, Located = 1, Read = 2 };

struct PassDiagnostics {
    ScanStatus status = NotFound;
    // The searches from start points: the candidate's kind and mode fields as
    // the last attempt left them (kind None: that attempt saw no bull's-eye).
    SymbolParameters shape;
    std::int32_t corrected = 0;  // codewords the read's correction repaired
    // The photo passes: the candidate positions examined, and the enlargement
    // of the crop that read (0: read in the photo itself).
    std::int32_t positions = 0;
    float enlargement = 0.0f;
};

struct PassOutcome {
    std::optional<SymbolRead> read;
    // Located with a mode message, data unreadable (data left empty).
    std::optional<SymbolRead> unreadable;
    // Where an analysis met a compact ring whose bits, no mode message, are
    // a rune's: the only places where a rune search could read one.
    std::vector<CandidatePoint> runePoints;
    // Some analysis saw a bull's-eye, whether or not it read its mode message
    // (at a finder: one of about the finder's size).
    bool sawBullseye = false;
    // The centre search: the candidate whose data it could not read, as its
    // analysis left it (beside `unreadable`).
    SymbolCandidate examined;
    PassDiagnostics diagnostics;
};

}  // namespace AztecCore
