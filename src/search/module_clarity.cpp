#include "search/module_clarity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "locate/grid_nodes.h"
#include "math/projective_map.h"
#include "search/symbol_read.h"

namespace AztecCore {
namespace {

// Bilinear gray value at (x, y); negative outside the image. Pixel (i, j) is
// centred on the point (i, j), as in the locator's samples.
double grayAt(const Image::GrayBuf& image, double x, double y) {
    const double x0 = std::floor(x);
    const double y0 = std::floor(y);
    if (!(x0 >= 0 && y0 >= 0 && x0 + 1 < image.width() && y0 + 1 < image.height())) return -1.0;
    const auto ix = static_cast<std::int32_t>(x0);
    const auto iy = static_cast<std::int32_t>(y0);
    const double ax = x - x0;
    const double ay = y - y0;
    const std::uint8_t* top = image.row(iy) + ix;
    const std::uint8_t* bottom = image.row(iy + 1) + ix;
    return (top[0] * (1 - ax) + top[1] * ax) * (1 - ay) + (bottom[0] * (1 - ax) + bottom[1] * ax) * ay;
}

// The shares of the modules that decide clarity: the darkest and lightest
// tenth set the two levels, and a module within a quarter of their span of
// the middle is unclear.
constexpr double kLevelShare = 0.1;
constexpr double kUnclearBand = 0.25;
// Less contrast than this between the levels is no symbol to judge.
constexpr double kLeastSpan = 8.0;
// A sharp symbol under a well-fitted grid leaves well under this share of its
// modules unclear (random data in camera frames: at most half of it). Blur,
// modules of a pixel or two, or a grid that drifts towards a module's edge
// out at the symbol's border (which an enlarged crop's fresh location may
// not) leave more.
constexpr double kMostUnclearShare = 0.01;

}  // namespace

double unclearModuleShare(const Image::GrayBuf& image, const SymbolCandidate& cand) {
    const auto size = static_cast<std::int32_t>(cand.symbolSize);
    if (size < 11 || size > 151) return 1.0;
    const std::int32_t half = (size - 1) / 2;
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    // Block by block, each with its own map: the modules of block [a][b]
    // are the symbol points 16 (a - 10) to 16 (a - 10) + 15 across.
    const auto block = [](std::int32_t u) {
        return (u >= 0 ? u / kNodeSpacing : -((-u + kNodeSpacing - 1) / kNodeSpacing)) + kCentreNode;
    };
    for (std::int32_t b = block(-half); b <= block(half); ++b)
        for (std::int32_t a = block(-half); a <= block(half); ++a) {
            const Aztec::Math::ProjectiveMap map = blockMap(cand, a, b);
            const std::int32_t u0 = (a - kCentreNode) * kNodeSpacing;
            const std::int32_t v0 = (b - kCentreNode) * kNodeSpacing;
            for (std::int32_t v = std::max(v0, -half); v <= std::min(v0 + kNodeSpacing - 1, half); ++v)
                for (std::int32_t u = std::max(u0, -half); u <= std::min(u0 + kNodeSpacing - 1, half); ++u) {
                    const Aztec::Math::PointD p = map.apply(u - u0, v - v0);
                    const double g = grayAt(image, p.x, p.y);
                    if (g >= 0) values.push_back(g);
                }
        }
    const std::size_t n = values.size();
    if (n * 2 < static_cast<std::size_t>(size) * static_cast<std::size_t>(size)) return 1.0;
    std::vector<double> sorted = values;
    const auto level = [&](double share) {
        const auto at = sorted.begin() + static_cast<std::ptrdiff_t>(static_cast<double>(n - 1) * share);
        std::nth_element(sorted.begin(), at, sorted.end());
        return *at;
    };
    const double dark = level(kLevelShare);
    const double light = level(1 - kLevelShare);
    const double span = light - dark;
    if (span < kLeastSpan) return 1.0;
    const double middle = (light + dark) / 2;
    const auto unclear = std::count_if(values.begin(), values.end(),
                                       [&](double g) { return std::fabs(g - middle) < kUnclearBand * span; });
    return static_cast<double>(unclear) / static_cast<double>(n);
}

bool sampledClearly(const Image::GrayBuf& image, const SymbolCandidate& cand) {
    if (!liesWithinImage(cand, image.width(), image.height())) return false;
    return unclearModuleShare(image, cand) < kMostUnclearShare;
}

}  // namespace AztecCore
