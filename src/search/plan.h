#pragma once
// A search as data: the passes to run, in order, each with the polarity it
// searches and the rules it reads with. The three exports are one pass each;
// the reader's plan puts the cheap passes first and those that enlarge crops
// last. What a pass costs on an image where it finds nothing also depends on
// what the image shows, which the engine checks as it runs the plan (see
// search/engine.h): a plan says what may run, not what will.
#include <cstdint>
#include <vector>

#include "decode/read_rules.h"

namespace AztecCore {

enum class PassKind {
    Centre,          // start points around the image centre
    Photo,           // the photo export's pass: candidate positions, each crop enlarged in turn
    Positions,       // one analysis at each finder the finder scan found, no enlargement
    DepthPositions,  // the same at the deepest spots of the ring-depth map the finders leave out
    RuneCentre,      // an Aztec Rune from the start points around the centre
    RunePositions,   // an Aztec Rune at the candidate positions
    Enlarged,        // enlarged crops around the positions that showed a bull's-eye
    TightFrame,      // the centre and rune searches on the image framed in a light border
};

const char* passName(PassKind kind);

struct Pass {
    PassKind kind = PassKind::Centre;
    bool inverted = false;  // the image with light and dark swapped
    ReadRules rules;
};

bool operator==(const Pass& a, const Pass& b);

struct Plan {
    std::vector<Pass> passes;  // in order, until one reads
    // After a read, until this many are read: `more` on the image with every
    // read symbol blanked out, in the polarity of the first read.
    std::uint32_t maxSymbols = 1;
    std::vector<Pass> more;
    // An image whose lightest and darkest pixels differ by less than this is
    // not searched at all (0: every image is).
    std::uint32_t leastContrast = 0;
};

enum class Export { Y, BGRA, Photo };
Plan exportPlan(Export which);

enum class Where { Auto, Centre, Anywhere };

struct ReadOptions {
    Where where = Where::Auto;
    std::uint32_t maxSymbols = 1;
    bool inverted = false;
    std::uint32_t budgetMs = 0;  // 0: none
};

Plan readerPlan(const ReadOptions& options);

}  // namespace AztecCore
