#pragma once
// Reading the source image at the image position of a symbol point: the
// pixel whose centre lies nearest, or nothing when that pixel is outside.
#include <cstdint>

#include "image/gray_buf.h"

namespace AztecCore {

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
    }

    std::uint32_t at(double x, double y, std::uint32_t outside) const {
        std::int32_t xi = 0, yi = 0;
        if (!nearestPixelWithin(x, width_, xi) || !nearestPixelWithin(y, height_, yi)) return outside;
        return pixelWithin(xi, yi);
    }
    // For a pixel already known to lie within the image.
    std::uint8_t pixelWithin(std::int32_t xi, std::int32_t yi) const { return pixels_[stride_ * yi + xi]; }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

private:
    const std::uint8_t* pixels_;
    std::int64_t stride_;
    std::int32_t width_;
    std::int32_t height_;
};

}  // namespace AztecCore
