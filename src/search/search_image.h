#pragma once
// The image a search reads, in either polarity, with the work that the
// passes on one state of it share: one locator for the searches in the image
// itself, the ring-depth map, the candidate positions picked from it, what
// the analyses at those positions found and where a rune search could read a
// rune. Each is made when a pass first asks for it, and made again only after
// the image changes (a read symbol blanked out). The inverted image is a copy
// made on first use, not a rewrite of the caller's. A polarity the passes
// leave for the other gives back what can be made again exactly (setAside),
// so that the two never hold a working image each, and a copy besides, at once.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "locate/symbol_candidate.h"
#include "locate/symbol_locator.h"
#include "photo/bullseye_candidates.h"
#include "photo/finder_scan.h"
#include "photo/local_binary.h"

namespace AztecCore {

// One analysis at a finder found, kept for the enlarged crops.
struct PositionAnalysis {
    FinderCandidate finder;
    // As the analysis left it, or with the finder's own corners where it saw
    // no bull's-eye: the crops are cut around them.
    SymbolCandidate candidate;
    bool located = false;  // its mode message was read
    // Its data read failed on modules that stood out clearly (module_clarity.h).
    bool sampledClearly = false;
};

// What the searches of one state saw, for the passes after them.
struct StateEvidence {
    // Where the centre search and the position analyses met compact rings
    // that read as runes (none: that search has not run).
    std::optional<std::vector<CandidatePoint>> centreRunePoints;
    std::optional<std::vector<CandidatePoint>> positionRunePoints;
    // Whether an analysis at the finders saw a bull's-eye.
    bool positionsSawBullseye = false;
    // Whether the centre search saw a bull's-eye (none: it has not run).
    std::optional<bool> centreSawBullseye;
    // The symbol the centre search located and could not read.
    std::optional<PositionAnalysis> centreExamined;
    std::vector<PositionAnalysis> analyses;
};

class SearchImage {
public:
    SearchImage(Image::GrayBuf gray, const Deadline& deadline);

    // The image with light and dark swapped when `inverted`.
    std::shared_ptr<const Image::GrayBuf> gray(bool inverted);
    // A locator reading gray(inverted), shared by the passes on it.
    SymbolLocator& locator(bool inverted);
    // The image binarised against its local contrast (dark in the image as
    // it is, light in the inverted one).
    const LocalBinary& binary();
    // The finders anywhere in the image, of either polarity, most rows first.
    const std::vector<FinderCandidate>& finders();
    // Those that are dark in the middle in this polarity.
    std::vector<FinderCandidate> positions(bool inverted);
    // The deepest spots of the ring-depth map in this polarity, noise cleared:
    // five from the cells of an 8 x 8 grid, then eight more of its local
    // maxima (their module unknown, 0).
    std::vector<FinderCandidate> depthPositions(bool inverted);
    StateEvidence& evidence(bool inverted) { return state(inverted).evidence; }
    // The image's size, the same in either polarity, without making either.
    std::int32_t width() const;
    std::int32_t height() const;
    // Before passes on the other polarity: this one's locator gives back its
    // working image and, where this polarity's image is the other's inverse,
    // that image; both are made again, the same, when a pass asks for them.
    // The evidence stays. A small image keeps everything: it saves little,
    // and there the centre search may start outside the image, where an
    // attempt on a working image made again could go otherwise.
    void setAside(bool inverted);
    // Before a pass that makes full-size images of its own: this polarity's
    // locator gives back its working image, made again, the same, when next
    // asked for (a small image keeps it, as for setAside).
    void releaseWorkingImage(bool inverted);
    // Whether the lightest and the darkest pixel lie at least `levels` apart.
    bool spansAtLeast(std::uint32_t levels);

    // The quadrilateral `corners` pushed out by `margin` pixels, filled with
    // the light level of the image as it was before the first blanking; the
    // other polarity is made again from this one when next asked for.
    void blank(bool inverted, const Aztec::Math::PointD (&corners)[4], double margin);

private:
    struct State {
        std::shared_ptr<Image::GrayBuf> gray;
        // The gray is the other polarity's inverse, so it may be set aside.
        bool derived = false;
        std::optional<SymbolLocator> locator;
        StateEvidence evidence;
        std::optional<std::uint8_t> light;  // the level blanked symbols are filled with
    };
    State& state(bool inverted) { return states_[inverted ? 1 : 0]; }
    // Whether the image is large enough for setAside to give anything back.
    bool worthSettingAside() const;
    // The image in whichever polarity is at hand: one of them always is.
    const Image::GrayBuf& eitherGray() const;

    const Deadline& deadline_;
    State states_[2];
    std::optional<LocalBinary> binary_;  // of the image as it stands
    std::optional<std::vector<FinderCandidate>> finders_;
};

}  // namespace AztecCore
