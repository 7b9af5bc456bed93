#pragma once
// The passes a plan is made of (search/plan.h), each a function of what it
// searches, the rules it reads with and the deadline it keeps. The searches
// in the image itself take its locator, whose source is that image: one
// working image for all of them. A pass that reads stops at its first read.
#include <cstdint>
#include <memory>
#include <vector>

#include "common/deadline.h"
#include "decode/read_rules.h"
#include "image/gray_buf.h"
#include "locate/symbol_locator.h"
#include "photo/bullseye_candidates.h"
#include "photo/finder_scan.h"
#include "search/pass_outcome.h"
#include "search/search_image.h"

namespace AztecCore {

// The start points around the image centre; the frame exports' pass. With
// `rules.runes`, an Aztec Rune is read where the ring that is no mode
// message reads as one.
PassOutcome centrePass(SymbolLocator& locator, ReadRules rules);

// The photo export's pass: at each position in turn, a fresh locator's
// analysis and, where that reads nothing, the enlarged crop at every factor;
// a position whose analysis located a symbol ends the pass, read or not.
PassOutcome photoExportPass(const std::shared_ptr<const Image::GrayBuf>& photo,
                            const std::vector<CandidatePoint>& positions, ReadRules rules, const Deadline& deadline);

// One analysis at each finder found, seeded over a few modules around it,
// each kept in `analyses` for the enlarged crops unless it ended at a
// bull's-eye an earlier one examined.
PassOutcome positionsPass(SymbolLocator& locator, const std::vector<FinderCandidate>& finders, ReadRules rules,
                          const Deadline& deadline, std::vector<PositionAnalysis>& analyses);

// The enlarged crops around the analyses, at the factors that make their
// modules a few pixels wide: small or soft modules read better enlarged,
// large ones only cost more. An analysis whose data failed on modules that
// stood out clearly, inside the image, gets none: it would fail again; nor
// does one whose mode message failed on wide modules.
std::vector<float> enlargementFactors(const PositionAnalysis& analysis);
PassOutcome enlargedPass(const SymbolLocator& locator, const std::vector<PositionAnalysis>& analyses, ReadRules rules,
                         const Deadline& deadline);

// An Aztec Rune from the start points around the centre, or from each of
// `points`: a compact ring whose bits are no mode message but a rune's, in
// a finder whose rings and quiet zone check out. A read holds the rune's
// value as three decimal digits.
PassOutcome runeCentrePass(SymbolLocator& locator, ReadRules rules);
PassOutcome runePointsPass(SymbolLocator& locator, const std::vector<CandidatePoint>& points, ReadRules rules,
                           const Deadline& deadline);

// The centre pass, and the rune pass where that met a ring that reads as a
// rune, on the image framed in a light border and enlarged when
// small: for symbols cropped to their own edge. A read's geometry is mapped
// back to the image.
PassOutcome tightFramePass(const Image::GrayBuf& image, ReadRules rules, const Deadline& deadline);

// What a read rune holds once an analysis located it (kind Rune): the
// candidate's grid is built and the finder checked around it.
bool readRune(SymbolLocator& locator, SymbolCandidate& cand, PassOutcome& outcome);

}  // namespace AztecCore
