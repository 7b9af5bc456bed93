#include "image/rgb_buf.h"

#include <cstddef>
#include <stdexcept>
#include <utility>

#include "common/checked_access.h"
#include "image/image_size.h"

namespace AztecCore::Image {

namespace {

RgbBuf::ColorPlane makePlane(std::int64_t count, std::int32_t stride) {
    RgbBuf::ColorPlane plane;
    plane.bytes.assign(static_cast<std::size_t>(count), 0);
    plane.stride = stride;
    return plane;
}

}  // namespace

void RgbBuf::setFromBGRA(const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    if (width != width_ || height != height_) {
        const std::int64_t count = pixelCount(width, height);
        // A negative area cannot be allocated; refuse it like any oversized one.
        if (count < 0) throw std::length_error("vector<T> too long");
        requireAddressable(3 * count);
        // Build all three before committing so a failed allocation leaves the
        // previous frame intact.
        ColorPlane r = makePlane(count, width);
        ColorPlane g = makePlane(count, width);
        ColorPlane b = makePlane(count, width);
        r_ = std::move(r);
        g_ = std::move(g);
        b_ = std::move(b);
        width_ = width;
        height_ = height;
    }
    std::size_t s = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int64_t row = std::int64_t{r_.stride} * y;
        for (std::int32_t x = 0; x < width; ++x) {
            checkedAt(r_.bytes, row + x) = pixels[s + 2];
            checkedAt(g_.bytes, row + x) = pixels[s + 1];
            checkedAt(b_.bytes, row + x) = pixels[s];
            s += 4;  // the fourth byte, alpha, carries nothing for recognition
        }
    }
}

}  // namespace AztecCore::Image
