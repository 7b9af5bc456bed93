// Polishing the finder's map before a symbol without reference lines is
// sampled. The map comes from the corners of a ring only three or five
// modules out, so any error in them grows three- to four-fold by the time it
// reaches the outer layers; at three pixels per module that is enough to
// sample the wrong modules there. Sampled at their centres, modules show
// their full contrast; sampled off-centre, more of them catch an edge and
// turn grey. So the map is adjusted, in ever smaller steps, toward the
// greatest total contrast over all modules of the symbol.
#include <algorithm>
#include <cmath>

#include "locate/sample_grid.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::PointD;

using Aztec::Math::fitProjectiveMap;
using Aztec::Math::ProjectiveMap;

namespace {

// Steps, in modules, of the search over the four outer corner positions.
constexpr double kPolishSteps[] = {0.25, 0.125, 0.0625};
// Rounds of the eight coordinates per step size.
constexpr int kPolishRounds = 4;
// How far, in modules, one stage may move a corner. The previous stage has
// aligned the modules one layer in, so the outer ones are off by well under
// a module; modules one place over would show full contrast just as well.
constexpr double kStageReach = 0.4;
// Gain in mean contrast (gray levels) that a step must bring: on the flat
// top of a sharp module noise alone would otherwise let the map wander.
constexpr double kMinGain = 0.05;
// Share by which the polished map must raise the contrast over the whole
// symbol to replace the finder's.
constexpr double kRequiredGain = 0.03;

// Window [first, last] of up to three entries around p within [0, count).
void neighbourhood(std::int32_t p, std::int32_t count, std::int32_t& first, std::int32_t& last) {
    first = std::max(p - 1, 0);
    last = std::min(p + 1, count - 1);
}

}  // namespace

double SymbolLocator::moduleContrast(const ProjectiveMap& map, std::int32_t radius) const {
    const std::int32_t size = 2 * radius + 1;
    const std::int32_t half = radius;
    SampleGrid grid(size);
    bool outside = false;
    for (std::int32_t y = 0; y < size && !outside; ++y) {
        for (std::int32_t x = 0; x < size; ++x) {
            const std::uint32_t s = sampleThrough(map, x - half, y - half);
            if (s == kOutsideSample) {
                outside = true;
                break;
            }
            grid.set(x, y, s);
        }
    }
    if (outside) return -1.0;

    // Distance of each sample from the middle of its 3 x 3 neighbourhood's
    // extremes: largest when every module is hit in its centre.
    std::int64_t total = 0;
    for (std::int32_t y = 0; y < size; ++y) {
        std::int32_t y0 = 0, y1 = 0;
        neighbourhood(y, size, y0, y1);
        for (std::int32_t x = 0; x < size; ++x) {
            std::int32_t x0 = 0, x1 = 0;
            neighbourhood(x, size, x0, x1);
            std::uint32_t lo = grid.at(x, y);
            std::uint32_t hi = lo;
            for (std::int32_t r = y0; r <= y1; ++r)
                for (std::int32_t c = x0; c <= x1; ++c) {
                    lo = std::min(lo, grid.at(c, r));
                    hi = std::max(hi, grid.at(c, r));
                }
            const std::int64_t twice = 2 * std::int64_t{grid.at(x, y)} - lo - hi;
            total += twice < 0 ? -twice : twice;
        }
    }
    return static_cast<double>(total) / (2.0 * size * size);
}

void SymbolLocator::polishMap(const SymbolCandidate& cand) {
    const auto outer = static_cast<std::int32_t>(cand.symbolSize / 2);
    const std::int32_t first = cand.kind == SymbolKind::Compact ? 5 : 7;
    // Outward in steps of one layer, so that each stage starts within a
    // fraction of a module of the right fit and cannot lock onto modules one
    // place off at the edge.
    const ProjectiveMap initial = map_;
    for (std::int32_t radius = std::min(first, outer); radius <= outer; radius += 2) {
        if (!polishMapWithin(radius)) {
            map_ = initial;
            return;
        }
    }
    // Where the image is sharp the finder's map already samples every module
    // on the flat top of its contrast, and the search can only wander on
    // noise (even to modules one place over, which look just as good). Only
    // a clear gain shows that the finder's map really sampled edges.
    const double before = moduleContrast(initial, outer);
    const double after = moduleContrast(map_, outer);
    if (!(after > before * (1.0 + kRequiredGain))) map_ = initial;
}

bool SymbolLocator::polishMapWithin(std::int32_t radius) {
    const double r = radius;
    const PointD from[4] = {{-r, -r}, {r, -r}, {r, r}, {-r, r}};
    PointD to[4];
    for (int k = 0; k < 4; ++k) to[k] = map_.apply(from[k].x, from[k].y);
    const double module = std::hypot(to[1].x - to[0].x, to[1].y - to[0].y) / (2.0 * r);
    if (!std::isfinite(module) || module <= 0.0) return false;

    const auto fit = [&](const PointD* q) {
        return fitProjectiveMap(from[0], from[1], from[2], from[3], q[0], q[1], q[2], q[3]);
    };
    double best = moduleContrast(map_, radius);
    if (best < 0.0) return false;
    const PointD start[4] = {to[0], to[1], to[2], to[3]};
    const double reach = kStageReach * module;
    for (const double stepModules : kPolishSteps) {
        const double step = stepModules * module;
        for (int round = 0; round < kPolishRounds; ++round) {
            bool improved = false;
            for (int k = 0; k < 8; ++k) {
                double& coord = k % 2 == 0 ? to[k / 2].x : to[k / 2].y;
                const double origin = k % 2 == 0 ? start[k / 2].x : start[k / 2].y;
                for (const double delta : {step, -step}) {
                    if (std::fabs(coord + delta - origin) > reach) continue;
                    coord += delta;
                    const double score = moduleContrast(fit(to), radius);
                    if (score > best + kMinGain) {
                        best = score;
                        improved = true;
                        break;
                    }
                    coord -= delta;
                }
            }
            if (!improved) break;
        }
    }
    map_ = fit(to);
    return true;
}

}  // namespace AztecCore
