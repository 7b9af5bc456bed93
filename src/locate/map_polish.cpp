// Polishing the finder's map before a symbol without reference lines is
// sampled. The map comes from the corners of a ring only three or five
// modules out, so any error in them grows three- to four-fold by the time it
// reaches the outer layers; at three pixels per module that is enough to
// sample the wrong modules there. Sampled at their centres, modules show
// their full contrast; sampled off-centre, more of them catch an edge and
// turn grey. So the map is adjusted, in ever smaller steps, toward the
// greatest total contrast over all modules of the symbol.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "locate/map_sampling.h"
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

// The contrast of the module lattice under one map after another. The
// lattice is sampled with each coefficient x coordinate product formed once
// per column and once per row; the sums and divisions around them run in the
// order of ProjectiveMap::apply, so every position is the one apply gives.
// Where doubles live in SSE2 registers two points are mapped and range-tested
// at once.
// The buffers are kept from one map to the next.
class ContrastMeter {
public:
    explicit ContrastMeter(const Image::GrayBuf& image) : image_(image) {}

    // Mean distance of the module samples within `radius` of the centre from
    // the middle of their 3 x 3 neighbourhood's extremes: largest when every
    // module is hit in its centre. -1 when a sample falls outside the image.
    double operator()(const ProjectiveMap& map, std::int32_t radius) {
        const std::int32_t size = 2 * radius + 1;
        if (!sampleLattice(map, radius, size)) return -1.0;
        return static_cast<double>(sumOfDistances(size)) / (2.0 * size * size);
    }

private:
    // Above every gray level.
    static constexpr std::uint32_t kOutside = 256;

    bool sampleLattice(const ProjectiveMap& map, std::int32_t half, std::int32_t size) {
        const auto n = static_cast<std::size_t>(size);
        columnX_.resize(n);
        columnY_.resize(n);
        columnW_.resize(n);
        for (std::size_t k = 0; k < n; ++k) {
            const double d = static_cast<std::int32_t>(k) - half;
            columnX_[k] = map.c[0] * d;
            columnY_[k] = map.c[3] * d;
            columnW_[k] = map.c[6] * d;
        }
        samples_.resize(n * n);
        const NearestPixelReader reader(image_);
        const bool within = mapKeepsWithin(map, -half, half, -half, half, reader.width(), reader.height());
        for (std::size_t y = 0; y < n; ++y) {
            const double d = static_cast<std::int32_t>(y) - half;
            if (!sampleRow(map, map.c[1] * d, map.c[4] * d, map.c[7] * d, reader, within, &samples_[y * n], n))
                return false;
        }
        return true;
    }

    // One lattice row, given its products c1 v, c4 v and c7 v; false when a
    // point falls outside the image. `within` when every point is known to
    // lie inside.
    bool sampleRow(const ProjectiveMap& map, double rowX, double rowY, double rowW, const NearestPixelReader& reader,
                   bool within, std::uint8_t* out, std::size_t n) {
        std::size_t x = 0;
#if defined(TALAVEX_PACKED_DOUBLES)
        const __m128d one = _mm_set1_pd(1.0);
        const __m128d c2 = _mm_set1_pd(map.c[2]);
        const __m128d c5 = _mm_set1_pd(map.c[5]);
        const __m128d rx = _mm_set1_pd(rowX);
        const __m128d ry = _mm_set1_pd(rowY);
        const __m128d rw = _mm_set1_pd(rowW);
        if (within) {
            for (; x + 2 <= n; x += 2) {
                const __m128d w = _mm_add_pd(_mm_add_pd(_mm_loadu_pd(&columnW_[x]), rw), one);
                const __m128d px = _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(&columnX_[x]), rx), c2), w);
                const __m128d py = _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(&columnY_[x]), ry), c5), w);
                std::uint32_t pair[2];
                reader.atPairWithin(px, py, pair);
                out[x] = static_cast<std::uint8_t>(pair[0]);
                out[x + 1] = static_cast<std::uint8_t>(pair[1]);
            }
        } else if (reader.offsetsFit32()) {
            // Two points at a time: each lane computes what the scalar loop
            // below does. The offsets of the whole row come first, then the
            // pixels, and only when every point lies inside, as the row would
            // be given up at its first point outside anyway.
            offsets_.resize(n + 1);
            int inside = 3;
            for (; x + 2 <= n; x += 2) {
                const __m128d w = _mm_add_pd(_mm_add_pd(_mm_loadu_pd(&columnW_[x]), rw), one);
                const __m128d px = _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(&columnX_[x]), rx), c2), w);
                const __m128d py = _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_loadu_pd(&columnY_[x]), ry), c5), w);
                __m128i offsets;
                inside &= reader.offsetPair(px, py, offsets);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(&offsets_[x]), offsets);
            }
            if (inside != 3) return false;
            for (std::size_t k = 0; k < x; ++k) out[k] = reader.pixelAtOffset(offsets_[k]);
        }
#else
        static_cast<void>(within);
#endif
        for (; x < n; ++x) {
            const double w = columnW_[x] + rowW + 1.0;
            const double px = (columnX_[x] + rowX + map.c[2]) / w;
            const double py = (columnY_[x] + rowY + map.c[5]) / w;
            const std::uint32_t sample = reader.at(px, py, kOutside);
            if (sample == kOutside) return false;
            out[x] = static_cast<std::uint8_t>(sample);
        }
        return true;
    }

    // Twice the summed distances; the 3 x 3 extremes (clipped at the
    // lattice's edge) are taken along the rows first, then down the columns.
    // Both passes run over the lattice as one flat array, long enough to
    // vectorise: the row pass then mixes neighbouring rows at the first and
    // last column, which are set again afterwards, and the column pass takes
    // the first and last row as their own neighbours beyond the edge, which
    // leaves the extremes unchanged.
    std::int64_t sumOfDistances(std::int32_t size) {
        const auto n = static_cast<std::size_t>(size);
        const std::size_t count = n * n;
        rowLo_.resize(count);
        rowHi_.resize(count);
        const std::uint8_t* in = samples_.data();
        std::uint8_t* lo = rowLo_.data();
        std::uint8_t* hi = rowHi_.data();
        if (n == 1) {
            lo[0] = hi[0] = in[0];
        } else {
            for (std::size_t i = 1; i + 1 < count; ++i) {
                lo[i] = std::min(std::min(in[i - 1], in[i]), in[i + 1]);
                hi[i] = std::max(std::max(in[i - 1], in[i]), in[i + 1]);
            }
            for (std::size_t first = 0; first < count; first += n) {
                const std::size_t last = first + n - 1;
                lo[first] = std::min(in[first], in[first + 1]);
                hi[first] = std::max(in[first], in[first + 1]);
                lo[last] = std::min(in[last - 1], in[last]);
                hi[last] = std::max(in[last - 1], in[last]);
            }
        }
        const std::size_t up = n > 1 ? n : 0;
        std::int64_t total = distancesWithin(0, n, 0, up);
        // In pieces small enough for a 32-bit sum (510 per sample at most).
        constexpr std::size_t kPiece = std::size_t{1} << 20;
        for (std::size_t begin = n; begin + n < count; begin += kPiece)
            total += distancesWithin(begin, std::min(begin + kPiece, count - n), n, n);
        if (n > 1) total += distancesWithin(count - n, count, n, 0);
        return total;
    }

    // Twice the summed distances of samples [begin, end), with the rows
    // `up` before and `down` after each as its neighbours.
    std::int64_t distancesWithin(std::size_t begin, std::size_t end, std::size_t up, std::size_t down) const {
        const std::uint8_t* in = samples_.data();
        const std::uint8_t* lo = rowLo_.data();
        const std::uint8_t* hi = rowHi_.data();
        std::int32_t total = 0;
        for (std::size_t i = begin; i < end; ++i) {
            const std::int32_t least = std::min(std::min(lo[i - up], lo[i]), lo[i + down]);
            const std::int32_t most = std::max(std::max(hi[i - up], hi[i]), hi[i + down]);
            const std::int32_t twice = 2 * std::int32_t{in[i]} - least - most;
            total += twice < 0 ? -twice : twice;
        }
        return total;
    }

    const Image::GrayBuf& image_;
    std::vector<double> columnX_, columnY_, columnW_;  // c0 u, c3 u, c6 u per column u
    std::vector<std::uint8_t> samples_;
    std::vector<std::int32_t> offsets_;  // one lattice row's pixel offsets
    std::vector<std::uint8_t> rowLo_, rowHi_;
};

// Scores of the corner positions tried lately in one stage. Moving a
// coordinate one step and back often returns to a position tried before, to
// the same bits; its fit and score are then known already.
class RecentScores {
public:
    const double* find(const PointD (&to)[4]) const {
        for (std::size_t k = 0; k < count_; ++k)
            if (std::memcmp(entries_[k].to, to, sizeof to) == 0) return &entries_[k].score;
        return nullptr;
    }
    void add(const PointD (&to)[4], double score) {
        Entry& entry = entries_[next_];
        std::memcpy(entry.to, to, sizeof to);
        entry.score = score;
        next_ = (next_ + 1) % entries_.size();
        count_ = std::min(count_ + 1, entries_.size());
    }

private:
    struct Entry {
        PointD to[4];
        double score = 0.0;
    };
    // A coordinate comes back after the other seven have had their turns.
    std::array<Entry, 32> entries_{};
    std::size_t count_ = 0;
    std::size_t next_ = 0;
};

// One stage of the search: the outer corners of the square of `radius`
// moved toward the greatest contrast; false when the map degenerates or the
// square leaves the image. `measured` becomes the new map's contrast within
// `radius` where the search measured it, NaN otherwise.
bool polishWithin(ProjectiveMap& map, std::int32_t radius, ContrastMeter& contrast, double& measured) {
    measured = std::numeric_limits<double>::quiet_NaN();
    const double r = radius;
    const PointD from[4] = {{-r, -r}, {r, -r}, {r, r}, {-r, r}};
    PointD to[4];
    for (int k = 0; k < 4; ++k) to[k] = map.apply(from[k].x, from[k].y);
    const double module = std::hypot(to[1].x - to[0].x, to[1].y - to[0].y) / (2.0 * r);
    if (!std::isfinite(module) || module <= 0.0) return false;

    const auto fit = [&](const PointD* q) {
        return fitProjectiveMap(from[0], from[1], from[2], from[3], q[0], q[1], q[2], q[3]);
    };
    double best = contrast(map, radius);
    if (best < 0.0) return false;
    const PointD start[4] = {to[0], to[1], to[2], to[3]};
    const double reach = kStageReach * module;
    RecentScores recent;
    bool moved = false;
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
                    const double* known = recent.find(to);
                    const double score = known != nullptr ? *known : contrast(fit(to), radius);
                    if (known == nullptr) recent.add(to, score);
                    if (score > best + kMinGain) {
                        best = score;
                        improved = true;
                        moved = true;
                        break;
                    }
                    coord -= delta;
                }
            }
            if (!improved) break;
        }
    }
    map = fit(to);
    // After a gain, `to` is where the best score was measured.
    if (moved) measured = best;
    return true;
}

}  // namespace

void SymbolLocator::polishMap(const SymbolCandidate& cand) {
    const auto outer = static_cast<std::int32_t>(cand.symbolSize / 2);
    const std::int32_t first = cand.kind == SymbolKind::Compact ? 5 : 7;
    ContrastMeter contrast(*source);
    // Outward in steps of one layer, so that each stage starts within a
    // fraction of a module of the right fit and cannot lock onto modules one
    // place off at the edge.
    const ProjectiveMap initial = map_;
    double measured = std::numeric_limits<double>::quiet_NaN();
    std::int32_t lastRadius = -1;
    for (std::int32_t radius = std::min(first, outer); radius <= outer; radius += 2) {
        if (!polishWithin(map_, radius, contrast, measured)) {
            map_ = initial;
            return;
        }
        lastRadius = radius;
    }
    // Where the image is sharp the finder's map already samples every module
    // on the flat top of its contrast, and the search can only wander on
    // noise (even to modules one place over, which look just as good). Only
    // a clear gain shows that the finder's map really sampled edges.
    const double before = contrast(initial, outer);
    // The last stage may have measured the polished map over the whole
    // symbol already.
    const double after = lastRadius == outer && !std::isnan(measured) ? measured : contrast(map_, outer);
    if (!(after > before * (1.0 + kRequiredGain))) map_ = initial;
}

}  // namespace AztecCore
