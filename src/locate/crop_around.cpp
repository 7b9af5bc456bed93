// The cut-out around a located bull's-eye that the photo pass enlarges: ten
// times the ring's mean width and height, centred on the bull's-eye.
#include <algorithm>
#include <climits>
#include <stdexcept>

#include "locate/pixel_index.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::PointD;
using Image::GrayBuf;

namespace {

// Ten mean ring widths (a) and heights (b) of a located bull's-eye.
void cropScale(const SymbolCandidate& cand, double& a, double& b) {
    const PointD& tl = cand.corners[0];
    const PointD& tr = cand.corners[1];
    const PointD& br = cand.corners[2];
    const PointD& bl = cand.corners[3];
    a = ((tr.x - tl.x) + (br.x - bl.x)) * 0.5 / 10.0;
    b = ((bl.y - tl.y) + (br.y - tr.y)) * 0.5 / 10.0;
}

// Truncated toward zero; negative, not-a-number and absurd sizes become 0.
std::int64_t cropSide(double v) { return v >= 1.0 && v < 1e15 ? static_cast<std::int64_t>(v) : 0; }

}  // namespace

SymbolLocator::CropSize SymbolLocator::cropSizeFor(const SymbolCandidate& cand) {
    double a = 0, b = 0;
    cropScale(cand, a, b);
    return {cropSide(a * 100.0), cropSide(b * 100.0)};
}

PointD SymbolLocator::cropOrigin(const SymbolCandidate& cand) {
    double a = 0, b = 0;
    cropScale(cand, a, b);
    return {static_cast<double>(truncToInt32(cand.center.x - 50.0 * a)),
            static_cast<double>(truncToInt32(cand.center.y - 50.0 * b))};
}

GrayBuf SymbolLocator::cropAround(const SymbolCandidate& cand) const {
    double a = 0, b = 0;
    cropScale(cand, a, b);
    const CropSize size = cropSizeFor(cand);
    // Beyond the image code's 32-bit sizes the crop cannot exist at all.
    if (size.width * size.height > INT32_MAX) throw std::length_error("vector<T> too long");
    const auto w = static_cast<std::int32_t>(size.width);
    const auto h = static_cast<std::int32_t>(size.height);
    GrayBuf crop;
    crop.resize(w, h);
    crop.fillWhite();
    if (h < 1) return crop;
    const PointD origin = cropOrigin(cand);
    const auto x0 = static_cast<std::int64_t>(origin.x);
    const auto y0 = static_cast<std::int64_t>(origin.y);
    const std::int32_t sw = source->width();
    const std::int32_t sh = source->height();
    for (std::int32_t r = 0; r < h; ++r) {
        const std::int64_t sy = y0 + r;
        for (std::int32_t c = 0; c < w; ++c) {
            const std::int64_t sx = x0 + c;
            if (sx >= 0 && sy >= 0 && sx < sw && sy < sh)
                crop.setPixel(c, r, source->pixel(static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy)));
        }
    }
    return crop;
}

}  // namespace AztecCore
