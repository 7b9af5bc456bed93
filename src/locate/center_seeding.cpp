// Centre seeding: quantise a square around the start point into four levels,
// flood-fill the dark or light area holding the start point and return its
// centroid. The rings of a bull's-eye are concentric, so the centroid of the
// central module or of any complete ring is the bull's-eye centre.
#include <algorithm>
#include <exception>

#include "locate/fill_marks.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

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

}  // namespace

std::uint8_t SymbolLocator::quantizedLevel(std::uint32_t v, const Levels& levels) {
    if (v >= levels.hi) return 255;
    if (v < levels.lo) return 0;
    if (v < levels.mid) return 85;
    return 170;
}

bool SymbolLocator::insideImage(std::int32_t x, std::int32_t y) const {
    return x >= 0 && y >= 0 && x < source->width() && y < source->height();
}

bool SymbolLocator::levelsDark(std::int32_t x, std::int32_t y) const {
    return insideImage(x, y) && levels_->pixel(x, y) < kLightFrom;
}

void SymbolLocator::pushSeed(std::int32_t x, std::int32_t y) {
    seedXs_.push_back(x);
    seedYs_.push_back(y);
}

void SymbolLocator::clearSeeds() {
    seedXs_.clear();
    seedYs_.clear();
}

PointD SymbolLocator::seedCenter(std::int32_t sx, std::int32_t sy) {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    if (w <= 0 || h < 1) return {0.0, 0.0};

    const std::int32_t r = std::min((w - 1) / 6, (h - 1) / 6);
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
        if (insideImage(sx, sy) && levels_->pixel(sx, sy) < kLightFrom)
            fillDark(sx, sy);
        else
            fillLight(sx, sy);
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
    std::uint32_t mn = source->pixel(x0, y0);
    std::uint32_t mx = mn;
    for (std::int32_t y = y0; y <= y1; ++y) {
        for (std::int32_t x = x0; x <= x1; ++x) {
            const std::uint32_t v = source->pixel(x, y);
            mn = std::min(mn, v);
            mx = std::max(mx, v);
        }
    }
    mid = (mn + mx) / 2;
    lo = (mid + mn) / 2;
    hi = (lo + mx) / 2;
}

void SymbolLocator::quantizeRegion(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t lo,
                                   std::uint32_t mid, std::uint32_t hi) {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    if (!levels_) levels_ = std::make_shared<GrayBuf>();
    if (levels_->width() != w || levels_->height() != h) {
        levels_->resize(w, h);
        // A change of size reinterprets old content; start from a clean slate.
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) levels_->setPixel(x, y, 0);
    }
    clampToImage(x0, y0, x1, y1, w, h);
    if (x1 < x0 || y1 < y0) return;
    for (std::int32_t y = y0; y < y1; ++y) {
        for (std::int32_t x = x0; x < x1; ++x) {
            levels_->setPixel(x, y, quantizedLevel(source->pixel(x, y), {lo, mid, hi}));
        }
    }
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
    for (std::int32_t y = y0; y <= y1; ++y) {
        const bool rowSeeded = y >= s.y0 && y < s.y1;
        for (std::int32_t x = x0; x <= x1; ++x) {
            if (rowSeeded && x >= s.x0 && x < s.x1) {
                x = s.x1 - 1;  // skip the seeded stretch of this row
                continue;
            }
            levels_->setPixel(x, y, quantizedLevel(source->pixel(x, y), seedLevels_));
        }
    }
}

void SymbolLocator::fillDark(std::int32_t x, std::int32_t y) { fillFrom(x, y, true, kDarkFillMark, false); }

void SymbolLocator::fillLight(std::int32_t x, std::int32_t y) { fillFrom(x, y, false, kLightFillMark, false); }

// The run at (x, y), then the runs of the seeds it and its successors leave,
// until none is left or a ring fill has reached its pixel budget.
void SymbolLocator::fillFrom(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark, bool ringFill) {
    fillRun(x, y, dark, mark, ringFill);
    while (!seedXs_.empty() && !(ringFill && fillCount_ >= fillLimit_)) {
        const std::int32_t sx = seedXs_.front();
        const std::int32_t sy = seedYs_.front();
        seedXs_.pop_front();
        seedYs_.pop_front();
        fillRun(sx, sy, dark, mark, ringFill);
    }
}

// One row stretch of a fill, filled whole from its left end; one seed is left
// for the first pixel of every stretch of the same kind touching it above or
// below. The dark and the light fill share it: a position outside the image is
// light, so the light fill counts it in the sums although it cannot be marked.
// The ring fill of the bull's-eye check is a light fill with its own mark, a
// pixel budget and the quadrant extremes.
void SymbolLocator::fillRun(std::int32_t x, std::int32_t y, bool dark, std::uint8_t mark, bool ringFill) {
    if (insideImage(x, y) && levels_->pixel(x, y) == mark) return;
    const auto takes = [&](std::int32_t px, std::int32_t py) { return levelsDark(px, py) == dark; };
    const Region& rg = region_;
    std::int32_t l = x;
    if (x > rg.x0) {
        do {
            if (!takes(l, y)) break;
            --l;
        } while (l > rg.x0);
    }
    const std::int64_t start = std::int64_t{l} + 1;
    const bool rowAboveInside = rg.y0 < std::int64_t{y} - 1 && std::int64_t{y} - 1 < rg.y1;
    const bool rowBelowInside = rg.y0 < std::int64_t{y} + 1 && std::int64_t{y} + 1 < rg.y1;
    bool up = true;
    bool down = true;
    for (std::int64_t xl = start; xl < rg.x1; ++xl) {
        const auto xx = static_cast<std::int32_t>(xl);
        if (!takes(xx, y)) return;
        if (insideImage(xx, y)) levels_->setPixel(xx, y, mark);
        fillSumX_ += xx;
        fillSumY_ += y;
        fillCount_ += 1;
        if (ringFill) {
            recordRingPixel(xx, y);
            if (fillCount_ >= fillLimit_) return;
        }
        const bool seedable = rg.x0 < xx && xx < rg.x1;
        if (rowAboveInside && takes(xx, y - 1)) {
            if (up && seedable) pushSeed(xx, y - 1);
            up = false;
        } else {
            up = true;
        }
        if (rowBelowInside && takes(xx, y + 1)) {
            if (down && seedable) pushSeed(xx, y + 1);
            down = false;
        } else {
            down = true;
        }
    }
}

}  // namespace AztecCore
