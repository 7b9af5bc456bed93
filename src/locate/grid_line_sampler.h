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

// Two points at a time where doubles live in SSE2 registers: each lane adds
// and divides exactly what the scalar code does, and IEEE operations round
// per lane, so the points are the same. With x87 maths the scalar code would
// round differently, so there only the scalar code runs.
#if defined(__SSE2_MATH__) || defined(_M_X64)
#include <emmintrin.h>
#define TALAVEX_GRID_LINE_PAIRS 1
#endif

namespace AztecCore {

class GridLineSampler {
public:
    static constexpr std::int32_t kReach = 40;

    GridLineSampler(const Aztec::Math::ProjectiveMap& map, const Image::GrayBuf& image, std::int32_t u, std::int32_t v)
        : c2_(map.c[2]), c5_(map.c[5]), width_(image.width()), height_(image.height()), stride_(image.stride()) {
        // Every pixel read lies within width x height: checking the last row
        // once covers them all.
        if (width_ > 0 && height_ > 0) {
            static_cast<void>(image.row(height_ - 1));
            pixels_ = image.row(0);
        }
        const double* c = map.c;
        for (std::int32_t t = -kReach; t <= kReach; ++t) {
            const double x = u + t / 5.0;
            const double y = v + t / 5.0;
            across_[t + kReach] = {c[0] * x, c[3] * x, c[6] * x};
            down_[t + kReach] = {c[1] * y, c[4] * y, c[7] * y};
        }
    }

    // The pixel nearest to symbol point (u + s / 5, v + t / 5); kOutsideSample
    // beyond the image.
    std::uint32_t at(std::int32_t s, std::int32_t t) const {
        const Products& a = across_[s + kReach];
        const Products& d = down_[t + kReach];
        const double w = a.w + d.w + 1.0;
        const double px = (a.x + d.x + c2_) / w;
        const double py = (a.y + d.y + c5_) / w;
        std::int32_t xi = 0, yi = 0;
        if (!nearestPixelWithin(px, width_, xi) || !nearestPixelWithin(py, height_, yi)) return kOutsideSample;
        return pixels_[std::int64_t{stride_} * yi + xi];
    }

    // Points (line, ks[n]) when alongV, else (ks[n], line), for n < count.
    void readLine(std::int32_t line, bool alongV, const std::int32_t* ks, std::size_t count, std::int32_t* out) const {
        std::size_t n = 0;
#if defined(TALAVEX_GRID_LINE_PAIRS)
        const __m128d one = _mm_set1_pd(1.0);
        const __m128d half = _mm_set1_pd(0.5);
        const __m128d zero = _mm_setzero_pd();
        const __m128d width = _mm_set1_pd(static_cast<double>(width_));
        const __m128d height = _mm_set1_pd(static_cast<double>(height_));
        const __m128d c2 = _mm_set1_pd(c2_);
        const __m128d c5 = _mm_set1_pd(c5_);
        for (; n + 2 <= count; n += 2) {
            const Products& a0 = across_[(alongV ? line : ks[n]) + kReach];
            const Products& a1 = across_[(alongV ? line : ks[n + 1]) + kReach];
            const Products& d0 = down_[(alongV ? ks[n] : line) + kReach];
            const Products& d1 = down_[(alongV ? ks[n + 1] : line) + kReach];
            const __m128d w = _mm_add_pd(_mm_add_pd(_mm_set_pd(a1.w, a0.w), _mm_set_pd(d1.w, d0.w)), one);
            const __m128d px =
                _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_set_pd(a1.x, a0.x), _mm_set_pd(d1.x, d0.x)), c2), w);
            const __m128d py =
                _mm_div_pd(_mm_add_pd(_mm_add_pd(_mm_set_pd(a1.y, a0.y), _mm_set_pd(d1.y, d0.y)), c5), w);
            // nearestPixelWithin per lane.
            const __m128d tx = _mm_add_pd(px, half);
            const __m128d ty = _mm_add_pd(py, half);
            const int inside =
                _mm_movemask_pd(_mm_and_pd(_mm_and_pd(_mm_cmpge_pd(tx, zero), _mm_cmplt_pd(tx, width)),
                                           _mm_and_pd(_mm_cmpge_pd(ty, zero), _mm_cmplt_pd(ty, height))));
            const __m128i xi = _mm_cvttpd_epi32(tx);
            const __m128i yi = _mm_cvttpd_epi32(ty);
            const std::int32_t x0 = _mm_cvtsi128_si32(xi);
            const std::int32_t x1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(xi, 1));
            const std::int32_t y0 = _mm_cvtsi128_si32(yi);
            const std::int32_t y1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(yi, 1));
            out[n] = (inside & 1) != 0 ? pixels_[std::int64_t{stride_} * y0 + x0]
                                       : static_cast<std::int32_t>(kOutsideSample);
            out[n + 1] = (inside & 2) != 0 ? pixels_[std::int64_t{stride_} * y1 + x1]
                                           : static_cast<std::int32_t>(kOutsideSample);
        }
#endif
        for (; n < count; ++n) out[n] = static_cast<std::int32_t>(alongV ? at(line, ks[n]) : at(ks[n], line));
    }

private:
    // One coordinate times the coefficients of x', y' and w.
    struct Products {
        double x = 0.0;
        double y = 0.0;
        double w = 0.0;
    };
    Products across_[2 * kReach + 1];
    Products down_[2 * kReach + 1];
    double c2_;
    double c5_;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t stride_;
    const std::uint8_t* pixels_ = nullptr;
};

}  // namespace AztecCore
