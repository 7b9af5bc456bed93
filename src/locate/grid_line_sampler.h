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
