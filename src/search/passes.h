#pragma once
// The passes a plan is made of (search/plan.h), each a function of what it
// searches, the rules it reads with and the deadline it keeps. A pass that
// reads stops at its first read.
#include <cstdint>
#include <memory>
#include <vector>

#include "common/deadline.h"
#include "decode/read_rules.h"
#include "image/gray_buf.h"
#include "photo/bullseye_candidates.h"
#include "search/pass_outcome.h"
#include "search/search_image.h"

namespace AztecCore {

// The start points around the image centre; the frame exports' pass.
PassOutcome centrePass(const Image::GrayBuf& image, ReadRules rules, const Deadline& deadline);

// The photo export's pass: at each position in turn an analysis and, where
// that reads nothing, the enlarged crop at every factor; a position whose
// analysis located a symbol ends the pass, read or not.
PassOutcome photoExportPass(const std::shared_ptr<const Image::GrayBuf>& photo,
                            const std::vector<CandidatePoint>& positions, ReadRules rules, const Deadline& deadline);

// One analysis at each position, each kept in `analyses` for the enlarged
// crops; positions whose analysis ends at a bull's-eye an earlier one
// examined are passed over.
PassOutcome positionsPass(const std::shared_ptr<const Image::GrayBuf>& photo,
                          const std::vector<CandidatePoint>& positions, std::int32_t spacing, ReadRules rules,
                          const Deadline& deadline, std::vector<PositionAnalysis>& analyses);

// The enlarged crops around the analyses that saw a bull's-eye.
PassOutcome enlargedPass(const std::shared_ptr<const Image::GrayBuf>& photo,
                         const std::vector<PositionAnalysis>& analyses, ReadRules rules, const Deadline& deadline);

// An Aztec Rune from the start points around the centre, or from each of
// `points`: a compact ring whose bits are no mode message but a rune's, in
// a finder whose rings and quiet zone check out. A read holds the rune's
// value as three decimal digits.
PassOutcome runeCentrePass(const Image::GrayBuf& image, ReadRules rules, const Deadline& deadline);
PassOutcome runePositionsPass(const Image::GrayBuf& image, const std::vector<CandidatePoint>& points, ReadRules rules,
                              const Deadline& deadline);

// The centre pass, and the rune pass where that met a compact ring without a
// mode message, on the image framed in a light border and enlarged when
// small: for symbols cropped to their own edge. A read's geometry is mapped
// back to the image.
PassOutcome tightFramePass(const Image::GrayBuf& image, ReadRules rules, const Deadline& deadline);

}  // namespace AztecCore
