// BGRA straight to gray, without the three colour planes in between: a 12 MP
// photo would otherwise hold 36 MB of planes only to read each byte once.
#include <stdexcept>

#include "image/gray_buf.h"
#include "image/image_size.h"
#include "image/luma.h"

namespace AztecCore::Image {

void GrayBuf::setFromBGRA(const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    const std::int64_t count = pixelCount(width, height);
    // A negative area cannot be allocated; refuse it like any oversized one.
    if (count < 0) throw std::length_error("vector<T> too long");
    resize(width, height);
    if (count == 0) return;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* out = row(y);
        const std::uint8_t* in = pixels + 4 * std::int64_t{width} * y;
        for (std::int32_t x = 0; x < width; ++x, in += 4) out[x] = luma(in[2], in[1], in[0]);
    }
}

}  // namespace AztecCore::Image
