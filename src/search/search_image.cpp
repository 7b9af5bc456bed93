#include "search/search_image.h"

#include <algorithm>
#include <utility>

#include "photo/more_bullseye_candidates.h"
#include "photo/peak_picker.h"
#include "search/blank_symbol.h"
#include "search/tight_frame.h"

namespace AztecCore {

namespace {

// Each finder candidate costs an analysis; real ones rank first, crossed by
// the most rows.
constexpr std::size_t kMostFinders = 24;
// Beyond the five deepest cells of the depth map: the further local maxima
// that ring-like print or another symbol beside a bull's-eye leave it.
constexpr std::size_t kMoreDepthPositions = 8;
// The depth, counted from both sweeps, of the centre of the shallowest finder
// worth an analysis: the five rings of a compact one give ten.
constexpr std::uint32_t kLeastFinderDepth = 10;

std::shared_ptr<Image::GrayBuf> inverse(const Image::GrayBuf& image, const Deadline& deadline) {
    auto out = std::make_shared<Image::GrayBuf>();
    out->resizeForOverwrite(image.width(), image.height());
    const std::int32_t width = image.width();
    for (std::int32_t y = 0; y < image.height(); ++y) {
        deadline.spend(width);
        const std::uint8_t* in = image.row(y);
        std::uint8_t* row = out->row(y);
        for (std::int32_t x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>(255 - in[x]);
    }
    return out;
}

}  // namespace

SearchImage::SearchImage(Image::GrayBuf gray, const Deadline& deadline) : deadline_(deadline) {
    states_[0].gray = std::make_shared<Image::GrayBuf>(std::move(gray));
}

std::shared_ptr<const Image::GrayBuf> SearchImage::gray(bool inverted) {
    State& s = state(inverted);
    if (!s.gray) {
        deadline_.check();
        s.gray = inverse(*state(!inverted).gray, deadline_);
    }
    return s.gray;
}

SymbolLocator& SearchImage::locator(bool inverted) {
    State& s = state(inverted);
    if (!s.locator) {
        s.locator.emplace(deadline_);
        s.locator->source = gray(inverted);
    }
    return *s.locator;
}

const std::vector<FinderCandidate>& SearchImage::finders() {
    if (!finders_) {
        const auto image = gray(false);
        deadline_.check();
        finders_ = scanFinders(*image, binary(), kMostFinders, deadline_);
    }
    return *finders_;
}

const LocalBinary& SearchImage::binary() {
    if (!binary_) {
        const auto image = gray(false);
        deadline_.check();
        binary_ = binariseLocally(*image, deadline_);
    }
    return *binary_;
}

std::vector<FinderCandidate> SearchImage::positions(bool inverted) {
    std::vector<FinderCandidate> out;
    for (const FinderCandidate& f : finders())
        if (f.lightCentre == inverted) out.push_back(f);
    return out;
}

std::vector<FinderCandidate> SearchImage::depthPositions(bool inverted) {
    deadline_.check();
    if (!binary().anyDark) return {};
    const BullseyeDepth map = measureBullseyeDepth(*gray(inverted), binary(), deadline_);
    std::vector<CandidatePoint> picked = pickPeaks(map.map, map.minimumPeak, deadline_);
    const BullseyeCandidates more = findMoreBullseyeCandidates(map, picked, kMoreDepthPositions, deadline_);
    picked.insert(picked.end(), more.more.begin(), more.more.end());
    std::vector<FinderCandidate> out;
    for (const CandidatePoint& p : picked) {
        // Letters and clutter nest a few rings deep; a finder's rings, even
        // blurred, twice as many.
        if (map.map.pixel(p.x, p.y) < kLeastFinderDepth) continue;
        FinderCandidate c;
        c.centre = p;
        c.moduleX = c.moduleY = 0.0f;
        c.lightCentre = inverted;
        out.push_back(c);
    }
    return out;
}

bool SearchImage::spansAtLeast(std::uint32_t levels) {
    const Image::GrayBuf& image = *gray(false);
    std::uint8_t lo = 255;
    std::uint8_t hi = 0;
    const std::int32_t width = image.width();
    // Any scene spans the levels asked for within its first rows; only a
    // flat image is read to the end.
    for (std::int32_t y = 0; y < image.height(); ++y) {
        deadline_.spend(width);
        const std::uint8_t* row = image.row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            lo = std::min(lo, row[x]);
            hi = std::max(hi, row[x]);
        }
        if (hi >= lo && std::uint32_t{hi} - lo >= levels) return true;
    }
    return levels == 0;
}

void SearchImage::blank(bool inverted, const Aztec::Math::PointD (&corners)[4], double margin) {
    gray(inverted);
    State& s = state(inverted);
    if (!s.light) s.light = lightLevel(*s.gray, deadline_);
    // No pass holds the image now, so it is blanked in place (lent pixels
    // are copied on the first write).
    s.locator.reset();
    blankQuadrilateral(*s.gray, corners, margin, *s.light);
    s.evidence = StateEvidence{};
    finders_.reset();
    binary_.reset();
    // The other polarity is made again from this one when asked for.
    state(!inverted) = State{};
}

}  // namespace AztecCore
