#pragma once
// The image a search reads, in either polarity, with the work that the
// passes on one state of it share: the ring-depth map, the candidate
// positions picked from it and what the analyses at those positions found.
// Each is made when a pass first asks for it, and made again only after the
// image changes (a read symbol blanked out). The inverted image is a copy
// made on first use, not a rewrite of the caller's.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "locate/symbol_candidate.h"
#include "photo/bullseye_candidates.h"

namespace AztecCore {

// One analysis at a candidate position, kept for the enlarged crops.
struct PositionAnalysis {
    CandidatePoint position;
    SymbolCandidate candidate;  // as the analysis left it: corners once a bull's-eye was seen
    bool located = false;       // its mode message was read
};

class SearchImage {
public:
    explicit SearchImage(Image::GrayBuf gray);

    // The image with light and dark swapped when `inverted`.
    std::shared_ptr<const Image::GrayBuf> gray(bool inverted, const Deadline& deadline);
    const BullseyeDepth& depth(bool inverted, const Deadline& deadline);
    // The photo export's positions (at most five, deepest first) and then the
    // further bull's-eyes of the same map that they leave out.
    const std::vector<CandidatePoint>& positions(bool inverted, const Deadline& deadline);
    // Positions closer than this in x and in y lead to the same bull's-eye.
    std::int32_t positionSpacing(bool inverted, const Deadline& deadline);

    // The analyses at the positions, filled by the position pass.
    std::vector<PositionAnalysis>& analyses(bool inverted) { return state(inverted).analyses; }
    // Whether the search from the start points around the centre met a
    // compact ring that read as no mode message; none until it ran.
    std::optional<bool>& centreMetCompactRing(bool inverted) { return state(inverted).centreMetCompactRing; }

    // The quadrilateral `corners` pushed out by `margin` pixels, filled with
    // the light level of the image as it was before the first blanking; the
    // other polarity is made again from this one when next asked for.
    void blank(bool inverted, const Aztec::Math::PointD (&corners)[4], double margin, const Deadline& deadline);

private:
    struct State {
        std::shared_ptr<Image::GrayBuf> gray;
        std::optional<BullseyeDepth> depth;
        std::optional<std::vector<CandidatePoint>> positions;
        std::int32_t spacing = 0;
        std::vector<PositionAnalysis> analyses;
        std::optional<bool> centreMetCompactRing;
        std::optional<std::uint8_t> light;  // the level blanked symbols are filled with
    };
    State& state(bool inverted) { return states_[inverted ? 1 : 0]; }

    State states_[2];
};

}  // namespace AztecCore
