#pragma once
// Reading the source image at the image position of a symbol point: the
// pixel whose centre lies nearest, or nothing when that pixel is outside.
#include <cstdint>
// Where doubles live in SSE2 registers, scalar and packed operations round
// alike, so two positions can be mapped at once, each lane adding and
// dividing exactly what the scalar code does. With x87 maths the scalar code
// would round differently, so there only the scalar code runs.
#if defined(__SSE2_MATH__) || defined(_M_X64)
#define TALAVEX_PACKED_DOUBLES 1
#endif
#if defined(__SSE2__) || defined(TALAVEX_PACKED_DOUBLES)
#include <emmintrin.h>
#define TALAVEX_SSE2_PAIRS 1
#endif

#include "image/gray_buf.h"
#include "math/projective_map.h"

namespace AztecCore {

// Whether every position that ProjectiveMap::apply gives for a symbol point
// of [x0, x1] x [y0, y1] has its nearest pixel inside an image of
// width x height, however its three-term sums are ordered: a sampler whose
// points all lie in that rectangle may then skip the range test. True only
// where w stays positive, so that the rectangle's image is the convex hull of
// its corners' images.
bool mapKeepsWithin(const Aztec::Math::ProjectiveMap& map, double x0, double x1, double y0, double y1,
                    std::int32_t width, std::int32_t height);

// Index of the pixel nearest to coordinate v along an axis of `extent`
// pixels (pixel i covers [i - 0.5, i + 0.5)); false when it lies outside the
// axis, also for a v that is not a finite number. One range test does what
// flooring v + 0.5 and comparing the result would: the floor of t lies in
// [0, extent) exactly when t does, and a t >= 0 truncates to its floor.
inline bool nearestPixelWithin(double v, std::int32_t extent, std::int32_t& index) {
    const double t = v + 0.5;
    if (!(t >= 0.0 && t < static_cast<double>(extent))) return false;
    index = static_cast<std::int32_t>(t);
    return true;
}

// The pixel nearest to image positions of one image, with its storage checked
// once for all rows instead of once per read. Outside the image a read gives
// `outside`.
class NearestPixelReader {
public:
    explicit NearestPixelReader(const Image::GrayBuf& image)
        : pixels_(image.width() > 0 && image.height() > 0 ? image.row(0) : nullptr),
          stride_(image.stride()),
          width_(pixels_ != nullptr ? image.width() : 0),
          height_(pixels_ != nullptr ? image.height() : 0) {
        if (pixels_ != nullptr) static_cast<void>(image.row(height_ - 1));
        offsetsFit32_ = pixels_ == nullptr || stride_ * (height_ - 1) + width_ <= std::int64_t{INT32_MAX};
    }

    std::uint32_t at(double x, double y, std::uint32_t outside) const {
        std::int32_t xi = 0, yi = 0;
        if (!nearestPixelWithin(x, width_, xi) || !nearestPixelWithin(y, height_, yi)) return outside;
        return pixelWithin(xi, yi);
    }
#if defined(TALAVEX_SSE2_PAIRS)
    // All-ones lanes where the rounded-up position (tx, ty) = (x + 0.5, y + 0.5)
    // truncates to a pixel of the image.
    __m128d insideLanes(__m128d tx, __m128d ty) const {
        const __m128d zero = _mm_setzero_pd();
        return _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(tx, zero), _mm_cmplt_pd(tx, _mm_set1_pd(width_))),
                          _mm_and_pd(_mm_cmpge_pd(ty, zero), _mm_cmplt_pd(ty, _mm_set1_pd(height_))));
    }
#endif
#if defined(TALAVEX_SSE2_PAIRS)
    // at() of the positions (x[0], y[0]) and (x[1], y[1]) held in the lanes
    // of x and y, range-tested side by side.
    void atPair(__m128d x, __m128d y, std::uint32_t outside, std::uint32_t (&out)[2]) const {
        const __m128d half = _mm_set1_pd(0.5);
        const __m128d tx = _mm_add_pd(x, half);
        const __m128d ty = _mm_add_pd(y, half);
        const __m128d inside = insideLanes(tx, ty);
        const int mask = _mm_movemask_pd(inside);
        // Lanes outside the image convert to an unused value.
        const __m128i xi = _mm_cvttpd_epi32(tx);
        const __m128i yi = _mm_cvttpd_epi32(ty);
        const std::int32_t x0 = _mm_cvtsi128_si32(xi);
        const std::int32_t y0 = _mm_cvtsi128_si32(yi);
        const std::int32_t x1 = _mm_cvtsi128_si32(_mm_srli_si128(xi, 4));
        const std::int32_t y1 = _mm_cvtsi128_si32(_mm_srli_si128(yi, 4));
        if (mask == 3) {
            out[0] = pixelWithin(x0, y0);
            out[1] = pixelWithin(x1, y1);
        } else {
            out[0] = (mask & 1) != 0 ? pixelWithin(x0, y0) : outside;
            out[1] = (mask & 2) != 0 ? pixelWithin(x1, y1) : outside;
        }
    }
#endif
#if defined(TALAVEX_SSE2_PAIRS)
    // atPair for positions known to lie inside the image (see mapKeepsWithin).
    void atPairWithin(__m128d x, __m128d y, std::uint32_t (&out)[2]) const {
        const __m128d half = _mm_set1_pd(0.5);
        const __m128i xi = _mm_cvttpd_epi32(_mm_add_pd(x, half));
        const __m128i yi = _mm_cvttpd_epi32(_mm_add_pd(y, half));
        out[0] = pixelWithin(_mm_cvtsi128_si32(xi), _mm_cvtsi128_si32(yi));
        out[1] = pixelWithin(_mm_cvtsi128_si32(_mm_srli_si128(xi, 4)), _mm_cvtsi128_si32(_mm_srli_si128(yi, 4)));
    }
#endif
    // Whether every pixel's offset from the first fits 31 bits, so that
    // offsetPair may be used.
    bool offsetsFit32() const { return offsetsFit32_; }
#if defined(TALAVEX_SSE2_PAIRS)
    // The offsets of the pixels at() would read at the positions held in the
    // lanes of x and y, as the low two 32-bit lanes of `offsets`; bit n of the
    // result is set when lane n lies within the image (the other lanes hold
    // unused values). Only where offsetsFit32(): offsets are formed in double
    // precision, exact up to 2^53, and then truncated to 32 bits.
    int offsetPair(__m128d x, __m128d y, __m128i& offsets) const {
        const __m128d half = _mm_set1_pd(0.5);
        const __m128d tx = _mm_add_pd(x, half);
        const __m128d ty = _mm_add_pd(y, half);
        const __m128d inside = insideLanes(tx, ty);
        const __m128d columns = _mm_cvtepi32_pd(_mm_cvttpd_epi32(tx));
        const __m128d rows = _mm_cvtepi32_pd(_mm_cvttpd_epi32(ty));
        offsets = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(rows, _mm_set1_pd(static_cast<double>(stride_))), columns));
        return _mm_movemask_pd(inside);
    }
#endif
    std::uint8_t pixelAtOffset(std::int32_t offset) const { return pixels_[offset]; }
    // For a pixel already known to lie within the image.
    std::uint8_t pixelWithin(std::int32_t xi, std::int32_t yi) const { return pixels_[stride_ * yi + xi]; }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

private:
    const std::uint8_t* pixels_;
    std::int64_t stride_;
    std::int32_t width_;
    std::int32_t height_;
    bool offsetsFit32_ = true;
};

}  // namespace AztecCore
