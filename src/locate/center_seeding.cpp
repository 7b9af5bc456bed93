// Centre seeding: quantise a square around the start point into four levels,
// flood-fill the dark or light area holding the start point and return its
// centroid. The rings of a bull's-eye are concentric, so the centroid of the
// central module or of any complete ring is the bull's-eye centre.
#include <algorithm>
#include <cstring>
#include <exception>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "locate/fill_marks.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

namespace {

// Work units charged for a write that may first touch a page of memory.
constexpr std::int64_t kPageCost = 4096;

}  // namespace

using Aztec::Math::PointD;
using Image::GrayBuf;

namespace {

std::int32_t clampInt(std::int64_t v, std::int32_t lo, std::int32_t hi) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(v, lo), hi));
}

std::int32_t toInt32(std::int64_t v) { return clampInt(v, INT32_MIN, INT32_MAX); }

// Moves the corners of a window onto the nearest pixels of a w x h image.
void clampToImage(std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1, std::int32_t w,
                  std::int32_t h) {
    x0 = clampInt(x0, 0, w - 1);
    x1 = clampInt(x1, 0, w - 1);
    y0 = clampInt(y0, 0, h - 1);
    y1 = clampInt(y1, 0, h - 1);
}

// The first position from p on, up to end, whose pixel is not of the class
// asked for (light or dark), or end. A level's class is its high bit, so whole
// words of eight pixels are passed over while all eight agree.
std::int64_t skipClass(const std::uint8_t* row, std::int64_t p, std::int64_t end, bool light) {
    static_assert(kLightFrom == 0x80, "a level is light exactly when its high bit is set");
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const std::uint64_t wanted = light ? kHighBits : 0u;
    while (end - p >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, row + p, sizeof word);
        if ((word & kHighBits) != wanted) break;
        p += 8;
    }
    while (p < end && ((row[p] & 0x80u) != 0) == light) ++p;
    return p;
}

}  // namespace

std::uint8_t SymbolLocator::quantizedLevel(std::uint32_t v, const Levels& levels) {
    if (v >= levels.hi) return 255;
    if (v < levels.lo) return 0;
    if (v < levels.mid) return 85;
    return 170;
}

// Quantises [x0, x1) of row y; the caller keeps the stretch inside the image.
// With the levels in order a pixel's level is 85 times the number of levels it
// reaches, which sixteen pixels at a time can count.
void SymbolLocator::quantizeStretch(std::int32_t y, std::int32_t x0, std::int32_t x1, const Levels& levels) {
    if (x1 <= x0) return;
    const bool ordered = levels.lo <= levels.mid && levels.mid <= levels.hi && levels.hi <= 255;
    if (!ordered || x0 < 0 || x1 > source->width() || x1 > levels_->width()) {
        // Not a stretch of one row of both images: pixel by pixel, each index checked.
        for (std::int32_t x = x0; x < x1; ++x) levels_->setPixel(x, y, quantizedLevel(source->pixel(x, y), levels));
        return;
    }
    const auto lo = static_cast<std::uint8_t>(levels.lo);
    const auto mid = static_cast<std::uint8_t>(levels.mid);
    const auto hi = static_cast<std::uint8_t>(levels.hi);
    const std::uint8_t* in = source->row(y);
    std::uint8_t* out = levels_->row(y);
    std::int32_t x = x0;
#if defined(__SSE2__)
    // v reaches t exactly when max(v, t) is v.
    const __m128i loV = _mm_set1_epi8(static_cast<char>(lo));
    const __m128i midV = _mm_set1_epi8(static_cast<char>(mid));
    const __m128i hiV = _mm_set1_epi8(static_cast<char>(hi));
    const __m128i step = _mm_set1_epi8(85);
    for (; x1 - x >= 16; x += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i a = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, loV), v), step);
        const __m128i b = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, midV), v), step);
        const __m128i c = _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, hiV), v), step);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_add_epi8(_mm_add_epi8(a, b), c));
    }
#endif
    for (; x < x1; ++x) {
        const std::uint8_t v = in[x];
        out[x] = static_cast<std::uint8_t>((v >= lo ? 85 : 0) + (v >= mid ? 85 : 0) + (v >= hi ? 85 : 0));
    }
}

bool SymbolLocator::insideImage(std::int32_t x, std::int32_t y) const {
    return x >= 0 && y >= 0 && x < source->width() && y < source->height();
}

bool SymbolLocator::levelsDark(std::int32_t x, std::int32_t y) const {
    return insideImage(x, y) && levels_->pixel(x, y) < kLightFrom;
}

void SymbolLocator::pushSeed(std::int32_t x, std::int32_t y) { seeds_.push_back({x, y}); }

void SymbolLocator::clearSeeds() {
    seeds_.clear();
    seedHead_ = 0;
}

PointD SymbolLocator::seedCenter(std::int32_t sx, std::int32_t sy, std::int32_t seedRadius) {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    if (w <= 0 || h < 1) return {0.0, 0.0};

    const std::int32_t imageRadius = std::min((w - 1) / 6, (h - 1) / 6);
    const std::int32_t r = seedRadius > 0 ? std::min(seedRadius, imageRadius) : imageRadius;
    region_.x0 = clampInt(std::int64_t{sx} - r, 0, w - 1);
    region_.x1 = clampInt(std::int64_t{sx} + r, 0, w - 1);
    region_.y0 = clampInt(std::int64_t{sy} - r, 0, h - 1);
    region_.y1 = clampInt(std::int64_t{sy} + r, 0, h - 1);
    fillSumX_ = fillSumY_ = fillCount_ = 0;
    clearSeeds();

    std::uint32_t lo = 0, mid = 128, hi = 255;
    const std::int32_t q = r / 4;
    measureWindow(toInt32(std::int64_t{sx} - q), toInt32(std::int64_t{sy} - q), toInt32(std::int64_t{sx} + q),
                  toInt32(std::int64_t{sy} + q), lo, mid, hi);
    // A small window can fall within one module of a symbol that fills the
    // image (printed without a margin); one grey gives no threshold, so the
    // whole square decides instead.
    if (lo == hi && q < r) measureWindow(region_.x0, region_.y0, region_.x1, region_.y1, lo, mid, hi);
    quantizeRegion(region_.x0, region_.y0, region_.x1, region_.y1, lo, mid, hi);
    seedLevels_ = {lo, mid, hi};
    seedRegion_ = region_;

    try {
        const bool dark = insideImage(sx, sy) && levels_->pixel(sx, sy) < kLightFrom;
        if (!fillSeedSquare(sx, sy, dark, dark ? kDarkFillMark : kLightFillMark)) {
            if (dark)
                fillDark(sx, sy);
            else
                fillLight(sx, sy);
        }
    } catch (const std::exception&) {
        fillCount_ = 0;
    }
    if (fillCount_ == 0) return {-1.0, -1.0};
    return {static_cast<double>(fillSumX_) / static_cast<double>(fillCount_),
            static_cast<double>(fillSumY_) / static_cast<double>(fillCount_)};
}

void SymbolLocator::measureWindow(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t& lo,
                                  std::uint32_t& mid, std::uint32_t& hi) const {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    clampToImage(x0, y0, x1, y1, w, h);
    if (x1 < x0 || y1 < y0) return;
    std::uint8_t mn = source->pixel(x0, y0);
    std::uint8_t mx = mn;
    for (std::int32_t y = y0; y <= y1; ++y) {
        deadline_->spend(x1 - x0 + 1);
        const std::uint8_t* in = source->row(y);
        for (std::int32_t x = x0; x <= x1; ++x) {
            mn = std::min(mn, in[x]);
            mx = std::max(mx, in[x]);
        }
    }
    mid = (std::uint32_t{mn} + mx) / 2;
    lo = (mid + mn) / 2;
    hi = (lo + mx) / 2;
}

void SymbolLocator::quantizeRegion(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t lo,
                                   std::uint32_t mid, std::uint32_t hi) {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    if (!levels_) {
        makeWorkingImage();
    } else if (levels_->width() != w || levels_->height() != h) {
        levels_->resize(w, h);
        // A change of size reinterprets old content; start from a clean slate.
        levels_->fill(0);
        ringRuns_.clear();
    }
    clampToImage(x0, y0, x1, y1, w, h);
    if (x1 < x0 || y1 < y0) return;
    const Levels levels{lo, mid, hi};
    for (std::int32_t y = y0; y < y1; ++y) {
        deadline_->spend(x1 - x0);
        quantizeStretch(y, x0, x1, levels);
    }
    // Ring marks within the square are gone now.
    const auto overwritten = [&](const RingRun& run) {
        return run.y >= y0 && run.y < y1 && run.x0 >= x0 && run.x1 < x1;
    };
    ringRuns_.erase(std::remove_if(ringRuns_.begin(), ringRuns_.end(), overwritten), ringRuns_.end());
}

void SymbolLocator::makeWorkingImage() {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    // New storage is all zeros already.
    levels_ = std::make_shared<GrayBuf>();
    levels_->resize(w, h);
    const bool kept = keptLastRow_.size() == static_cast<std::size_t>(w) &&
                      keptLastColumn_.size() == static_cast<std::size_t>(h) && w > 0 && h > 0;
    if (!kept) {
        // Nothing of an earlier image of this size to go on from.
        ringRuns_.clear();
    } else {
        // The ring runs stay recorded, as their marks on the kept lines do.
        // Only the bytes that are not zero are written back: the whole
        // column, a byte a row, would touch every page of the image.
        std::uint8_t* last = levels_->row(h - 1);
        for (std::int32_t x = 0; x < w; ++x)
            if (keptLastRow_[static_cast<std::size_t>(x)] != 0) last[x] = keptLastRow_[static_cast<std::size_t>(x)];
        for (std::int32_t y = 0; y < h; ++y)
            if (keptLastColumn_[static_cast<std::size_t>(y)] != 0)
                levels_->setPixel(w - 1, y, keptLastColumn_[static_cast<std::size_t>(y)]);
    }
    keptLastRow_ = {};
    keptLastColumn_ = {};
}

void SymbolLocator::releaseWorkingImage() {
    if (!levels_) return;
    const std::int32_t w = levels_->width();
    const std::int32_t h = levels_->height();
    if (w > 0 && h > 0) {
        const std::uint8_t* last = levels_->row(h - 1);
        keptLastRow_.assign(last, last + w);
        keptLastColumn_.resize(static_cast<std::size_t>(h));
        for (std::int32_t y = 0; y < h; ++y) keptLastColumn_[static_cast<std::size_t>(y)] = levels_->pixel(w - 1, y);
    }
    levels_.reset();
    // The fills' scratch goes with it: each fill writes it before reading it.
    clearSeeds();
    seeds_.shrink_to_fit();
    componentBits_.clear();
    componentBits_.shrink_to_fit();
    componentSeeds_.clear();
    componentSeeds_.shrink_to_fit();
}

// The seeding quantises a square of a sixth of the image around the start
// point; a finder filling much of a tightly framed image reaches beyond it.
// The bull's-eye check quantises what it reads out there on demand, with the
// seeding's levels, leaving the seeded square (and the marks in it) alone.
void SymbolLocator::quantizeBeyondSeed(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    if (!levels_) return;
    const std::int32_t w = levels_->width();
    const std::int32_t h = levels_->height();
    clampToImage(x0, y0, x1, y1, w, h);
    const Region& s = seedRegion_;
    const bool seeded = s.x0 < s.x1;
    const Levels& lv = seedLevels_;
    const bool ordered = lv.lo <= lv.mid && lv.mid <= lv.hi && lv.hi <= 255;
    if (x0 == x1 && y0 <= y1 && ordered && source->width() == w && source->height() == h) {
        // One column (the edge scan's): down the rows by their strides, the
        // seeded square's pixels left alone.
        const std::uint8_t* in = source->row(y0) + x0;
        std::uint8_t* out = levels_->row(y0) + x0;
        static_cast<void>(source->row(y1));
        static_cast<void>(levels_->row(y1));
        const bool columnSeeded = seeded && x0 >= s.x0 && x0 < s.x1;
        for (std::int32_t y = y0; y <= y1; ++y) {
            // A byte a row, each in a page of its own on a wide image: the
            // first touch of each page is what costs.
            deadline_->spend(kPageCost);
            if (columnSeeded && y >= s.y0 && y < s.y1) continue;
            const std::uint8_t v = in[std::int64_t{y - y0} * source->stride()];
            out[std::int64_t{y - y0} * levels_->stride()] =
                static_cast<std::uint8_t>((v >= lv.lo ? 85 : 0) + (v >= lv.mid ? 85 : 0) + (v >= lv.hi ? 85 : 0));
        }
        return;
    }
    for (std::int32_t y = y0; y <= y1; ++y) {
        deadline_->spend(x1 - x0 + 1 + kPageCost);
        if (!seeded || y < s.y0 || y >= s.y1 || x1 < s.x0 || x0 >= s.x1) {
            quantizeStretch(y, x0, x1 + 1, seedLevels_);
            continue;
        }
        // Around the seeded stretch [s.x0, s.x1) of this row.
        quantizeStretch(y, x0, std::min(s.x0, x1 + 1), seedLevels_);
        quantizeStretch(y, std::max(s.x1, x0), x1 + 1, seedLevels_);
    }
}

void SymbolLocator::fillDark(std::int32_t x, std::int32_t y) { fillFrom(x, y, true, kDarkFillMark, false); }

void SymbolLocator::fillLight(std::int32_t x, std::int32_t y) { fillFrom(x, y, false, kLightFillMark, false); }

// The run at (x, y), then the runs of the seeds it and its successors leave
// (first in, first out), until none is left or a ring fill has reached its
// pixel budget.
void SymbolLocator::fillFrom(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark, bool ringFill) {
    fillRun(x, y, dark, mark, ringFill);
    while (seedHead_ < seeds_.size() && !(ringFill && fillCount_ >= fillLimit_)) {
        const IPoint seed = seeds_[seedHead_++];
        // Seeds already taken are dropped now and then, so that the queue
        // holds about as many as are waiting.
        if (seedHead_ >= 4096 && seedHead_ * 2 >= seeds_.size()) {
            seeds_.erase(seeds_.begin(), seeds_.begin() + static_cast<std::ptrdiff_t>(seedHead_));
            seedHead_ = 0;
        }
        const std::int64_t before = fillCount_;
        fillRun(seed.x, seed.y, dark, mark, ringFill);
        deadline_->spend(fillCount_ - before + 1);
    }
}

// One row stretch of a fill, filled whole from its left end; one seed is left
// for the first pixel of every stretch of the same kind touching it above or
// below. The dark and the light fill share it: a position outside the image is
// light, so the light fill counts it in the sums although it cannot be marked.
// The ring fill of the bull's-eye check is a light fill with its own mark, a
// pixel budget and the quadrant extremes.
void SymbolLocator::fillRun(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark, bool ringFill) {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    // The rows' pixels through pointers checked once per row; a row outside
    // the image has none, and all its positions are light.
    const auto rowAt = [&](std::int64_t ry) -> std::uint8_t* {
        return ry >= 0 && ry < h && w > 0 ? levels_->row(static_cast<std::int32_t>(ry)) : nullptr;
    };
    std::uint8_t* const row = rowAt(y);
    if (row != nullptr && x >= 0 && x < w && row[x] == mark) return;
    const auto takes = [w, dark](const std::uint8_t* r, std::int64_t px) {
        return (r != nullptr && px >= 0 && px < w && r[px] < kLightFrom) == dark;
    };
    const Region& rg = region_;
    std::int32_t l = x;
    if (x > rg.x0) {
        do {
            if (!takes(row, l)) break;
            --l;
        } while (l > rg.x0);
    }
    const std::int64_t start = std::int64_t{l} + 1;
    const bool rowAboveInside = rg.y0 < std::int64_t{y} - 1 && std::int64_t{y} - 1 < rg.y1;
    const bool rowBelowInside = rg.y0 < std::int64_t{y} + 1 && std::int64_t{y} + 1 < rg.y1;
    const std::uint8_t* const above = rowAboveInside ? rowAt(std::int64_t{y} - 1) : nullptr;
    const std::uint8_t* const below = rowBelowInside ? rowAt(std::int64_t{y} + 1) : nullptr;
    bool up = true;
    bool down = true;
    if (row != nullptr && start >= 0 && rg.x1 <= w && (!rowAboveInside || above != nullptr) &&
        (!rowBelowInside || below != nullptr)) {
        // A run within the image: its extent is known before anything is
        // recorded, so its sums are formed at once (integers, so in any
        // order) and its marks set in one go. A ring fill stops at the pixel
        // that meets its budget, before that pixel's seeds. The seeds follow
        // in the same order as pixel by pixel below.
        std::int64_t end = skipClass(row, start, rg.x1, !dark);
        std::int64_t n = end - start;
        if (n <= 0) return;
        std::int64_t seedEnd = end;
        if (ringFill) {
            const std::int64_t room = fillLimit_ - fillCount_;
            if (room <= n) {
                n = std::max<std::int64_t>(room, 1);
                end = start + n;
                seedEnd = end - 1;
            }
            recordRingRun(static_cast<std::int32_t>(start), static_cast<std::int32_t>(end - 1), y);
        }
        std::fill(row + start, row + end, mark);
        if (mark == kRingFillMark)
            ringRuns_.push_back({y, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end - 1)});
        fillSumX_ += (start + end - 1) * n / 2;
        fillSumY_ += std::int64_t{y} * n;
        fillCount_ += n;
        // The first pixel at or after `from` that starts a stretch taken in
        // row r, or seedEnd; `inStretch`: the pixel before `from` was taken.
        const auto nextStretch = [&](const std::uint8_t* r, std::int64_t from, bool inStretch) {
            const std::int64_t p = inStretch ? skipClass(r, from, seedEnd, !dark) : from;
            return skipClass(r, p, seedEnd, dark);
        };
        // Seeds in order of x, the one above before the one below at the same x.
        std::int64_t nextAbove = rowAboveInside ? nextStretch(above, start, false) : seedEnd;
        std::int64_t nextBelow = rowBelowInside ? nextStretch(below, start, false) : seedEnd;
        while (nextAbove < seedEnd || nextBelow < seedEnd) {
            if (nextAbove <= nextBelow) {
                if (rg.x0 < nextAbove) pushSeed(static_cast<std::int32_t>(nextAbove), y - 1);
                nextAbove = nextStretch(above, nextAbove + 1, true);
            } else {
                if (rg.x0 < nextBelow) pushSeed(static_cast<std::int32_t>(nextBelow), y + 1);
                nextBelow = nextStretch(below, nextBelow + 1, true);
            }
        }
        return;
    }
    // The stretch of the image this run marks, kept for the ring fill's marks.
    std::int32_t firstMarked = 0;
    std::int32_t lastMarked = -1;
    for (std::int64_t xl = start; xl < rg.x1; ++xl) {
        const auto xx = static_cast<std::int32_t>(xl);
        if (!takes(row, xl)) break;
        if (row != nullptr && xl >= 0 && xl < w) {
            row[xl] = mark;
            if (lastMarked < firstMarked) firstMarked = xx;
            lastMarked = xx;
        }
        fillSumX_ += xx;
        fillSumY_ += y;
        fillCount_ += 1;
        if (ringFill) {
            recordRingRun(xx, xx, y);
            if (fillCount_ >= fillLimit_) break;
        }
        const bool seedable = rg.x0 < xx && xx < rg.x1;
        if (rowAboveInside && takes(above, xl)) {
            if (up && seedable) pushSeed(xx, y - 1);
            up = false;
        } else {
            up = true;
        }
        if (rowBelowInside && takes(below, xl)) {
            if (down && seedable) pushSeed(xx, y + 1);
            down = false;
        } else {
            down = true;
        }
    }
    if (mark == kRingFillMark && firstMarked <= lastMarked) ringRuns_.push_back({y, firstMarked, lastMarked});
}

}  // namespace AztecCore
