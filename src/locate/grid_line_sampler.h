#pragma once
// The gray values a grid-line search reads: symbol points a fifth of a module
// apart around one node, through one projective map. Every point lies at
// u + s / 5 across and v + t / 5 down for offsets s and t in -40 .. 40, so each
// coefficient x coordinate product is formed once per offset; the sums and
// divisions then follow ProjectiveMap::apply.
#include <cstdint>

#include "image/gray_buf.h"
#include "locate/map_sampling.h"
#include "locate/symbol_locator.h"
#include "math/projective_map.h"

namespace AztecCore {

class GridLineSampler {
public:
    static constexpr std::int32_t kReach = 40;

    GridLineSampler(const Aztec::Math::ProjectiveMap& map, const Image::GrayBuf& image, std::int32_t u, std::int32_t v)
        : c2_(map.c[2]),
          c5_(map.c[5]),
          reader_(image),
          // Offsets up to 40 fifths reach 8 modules, and u + t / 5.0 rounds
          // to no point beyond u +- 8.
          within_(mapKeepsWithin(map, u - 8.0, u + 8.0, v - 8.0, v + 8.0, image.width(), image.height())) {
        const double* c = map.c;
        for (std::int32_t t = -kReach; t <= kReach; ++t) {
            const double x = u + t / 5.0;
            const double y = v + t / 5.0;
            across_.x[t + kReach] = c[0] * x;
            across_.y[t + kReach] = c[3] * x;
            across_.w[t + kReach] = c[6] * x;
            down_.x[t + kReach] = c[1] * y;
            down_.y[t + kReach] = c[4] * y;
            down_.w[t + kReach] = c[7] * y;
        }
    }

    // Points (line, k) when alongV, else (k, line), for k = first ..
    // first + count - 1, into out[0 .. count): the pixel nearest to symbol
    // point (u + s / 5, v + t / 5) for point (s, t), kOutsideSample beyond the
    // image. The sums take the across product first, as apply does; addition
    // commutes exactly, so the order of the two terms needs no care.
    void readLine(std::int32_t line, bool alongV, std::int32_t first, std::int32_t count, std::int32_t* out) const {
        if (within_)
            readRun<false>(line, alongV, first, count, out);
        else
            readRun<true>(line, alongV, first, count, out);
    }

private:
    // readLine, with the range test only where kChecked.
    template <bool kChecked>
    void readRun(std::int32_t line, bool alongV, std::int32_t first, std::int32_t count, std::int32_t* out) const {
        const Products& fixed = alongV ? across_ : down_;
        const Products& moving = alongV ? down_ : across_;
        const double fx = fixed.x[line + kReach];
        const double fy = fixed.y[line + kReach];
        const double fw = fixed.w[line + kReach];
        const double* mx = moving.x + (first + kReach);
        const double* my = moving.y + (first + kReach);
        const double* mw = moving.w + (first + kReach);
        std::int32_t n = 0;
#if defined(TALAVEX_PACKED_DOUBLES)
        const __m128d one = _mm_set1_pd(1.0);
        const __m128d c2 = _mm_set1_pd(c2_);
        const __m128d c5 = _mm_set1_pd(c5_);
        const __m128d fx2 = _mm_set1_pd(fx);
        const __m128d fy2 = _mm_set1_pd(fy);
        const __m128d fw2 = _mm_set1_pd(fw);
        for (; n + 2 <= count; n += 2) {
            const __m128d w = _mm_add_pd(_mm_add_pd(fw2, _mm_loadu_pd(mw + n)), one);
            const __m128d px = _mm_div_pd(_mm_add_pd(_mm_add_pd(fx2, _mm_loadu_pd(mx + n)), c2), w);
            const __m128d py = _mm_div_pd(_mm_add_pd(_mm_add_pd(fy2, _mm_loadu_pd(my + n)), c5), w);
            std::uint32_t pair[2];
            if (kChecked)
                reader_.atPair(px, py, kOutsideSample, pair);
            else
                reader_.atPairWithin(px, py, pair);
            out[n] = static_cast<std::int32_t>(pair[0]);
            out[n + 1] = static_cast<std::int32_t>(pair[1]);
        }
#endif
        for (; n < count; ++n) {
            const double w = fw + mw[n] + 1.0;
            const double px = (fx + mx[n] + c2_) / w;
            const double py = (fy + my[n] + c5_) / w;
            out[n] = static_cast<std::int32_t>(reader_.at(px, py, kOutsideSample));
        }
    }

    // One coordinate per offset times the coefficients of x', y' and w.
    struct Products {
        double x[2 * kReach + 1];
        double y[2 * kReach + 1];
        double w[2 * kReach + 1];
    };
    Products across_;
    Products down_;
    double c2_;
    double c5_;
    NearestPixelReader reader_;
    bool within_;
};

}  // namespace AztecCore
