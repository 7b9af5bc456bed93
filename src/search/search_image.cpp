#include "search/search_image.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <utility>

#include "locate/start_points.h"
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

// Below this on either side nothing is set aside: a working image of a
// quarter megapixel is not worth the inverse made again. The centre search's
// start points (and the rune points among them) then lie inside the image,
// as the finders and the depth map's peaks always do.
constexpr std::int32_t kLeastSetAsideSide = 512;
static_assert(kLeastSetAsideSide > 2 * startPointReach() + 1, "the centre search starts inside the image");

std::shared_ptr<Image::GrayBuf> inverse(const Image::GrayBuf& image, const Deadline& deadline) {
    auto out = std::make_shared<Image::GrayBuf>();
    out->resizeForOverwrite(image.width(), image.height());
    const std::int32_t width = image.width();
    for (std::int32_t y = 0; y < image.height(); ++y) {
        deadline.spend(width);
        const std::uint8_t* in = image.row(y);
        std::uint8_t* row = out->row(y);
        // 255 - v is v with its bits flipped, so eight pixels go at once: the
        // inverse is made again each time the passes come back to it.
        std::int32_t x = 0;
        for (; width - x >= 8; x += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, in + x, sizeof word);
            word = ~word;
            std::memcpy(row + x, &word, sizeof word);
        }
        for (; x < width; ++x) row[x] = static_cast<std::uint8_t>(255 - in[x]);
    }
    return out;
}

// The lowest and the highest level of a row, folded into `lo` and `hi`.
void widenToRow(const std::uint8_t* row, std::int32_t width, std::uint8_t& lo, std::uint8_t& hi) {
    std::int32_t x = 0;
#if defined(__SSE2__)
    if (width >= 16) {
        __m128i vlo = _mm_set1_epi8(static_cast<char>(lo));
        __m128i vhi = _mm_set1_epi8(static_cast<char>(hi));
        for (; width - x >= 16; x += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            vlo = _mm_min_epu8(vlo, v);
            vhi = _mm_max_epu8(vhi, v);
        }
        alignas(16) std::uint8_t los[16], his[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(los), vlo);
        _mm_store_si128(reinterpret_cast<__m128i*>(his), vhi);
        lo = *std::min_element(los, los + 16);
        hi = *std::max_element(his, his + 16);
    }
#endif
    for (; x < width; ++x) {
        lo = std::min(lo, row[x]);
        hi = std::max(hi, row[x]);
    }
}

}  // namespace

SearchImage::SearchImage(Image::GrayBuf gray, const Deadline& deadline) : deadline_(deadline) {
    states_[0].gray = std::make_shared<Image::GrayBuf>(std::move(gray));
}

std::shared_ptr<const Image::GrayBuf> SearchImage::gray(bool inverted) {
    State& s = state(inverted);
    if (!s.gray) {
        deadline_.check();
        // Only a derived image is ever set aside, so the other one is at hand.
        s.gray = inverse(*state(!inverted).gray, deadline_);
        s.derived = true;
    }
    return s.gray;
}

SymbolLocator& SearchImage::locator(bool inverted) {
    State& s = state(inverted);
    if (!s.locator) s.locator.emplace(deadline_);
    if (!s.locator->source) s.locator->source = gray(inverted);
    return *s.locator;
}

const Image::GrayBuf& SearchImage::eitherGray() const { return *(states_[0].gray ? states_[0].gray : states_[1].gray); }

std::int32_t SearchImage::width() const { return eitherGray().width(); }

std::int32_t SearchImage::height() const { return eitherGray().height(); }

bool SearchImage::worthSettingAside() const { return std::min(width(), height()) >= kLeastSetAsideSide; }

void SearchImage::releaseWorkingImage(bool inverted) {
    State& s = state(inverted);
    if (s.locator && worthSettingAside()) s.locator->releaseWorkingImage();
}

void SearchImage::setAside(bool inverted) {
    releaseWorkingImage(inverted);
    State& s = state(inverted);
    if (!worthSettingAside() || !s.derived || !s.gray) return;
    if (s.locator) s.locator->source.reset();
    s.gray.reset();
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
    const std::int32_t height = image.height();
    // From the middle row outwards: a frame's margins may be flat, while any
    // scene spans the levels asked for within a few rows of its middle. Only
    // a flat image is read to the end.
    for (std::int32_t k = 0; k < height; ++k) {
        deadline_.spend(width);
        const std::int32_t y = height / 2 + (k % 2 == 0 ? k / 2 : -(k + 1) / 2);
        widenToRow(image.row(y), width, lo, hi);
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
    // The blanked image is the one the other is made from now.
    s.derived = false;
    s.evidence = StateEvidence{};
    finders_.reset();
    binary_.reset();
    // The other polarity is made again from this one when asked for.
    state(!inverted) = State{};
}

}  // namespace AztecCore
