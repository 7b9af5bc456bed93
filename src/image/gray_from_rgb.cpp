// Colour to gray with fixed integer luma weights; no floating point, so every
// platform produces identical gray images from identical frames.
#include <cstdint>

#include "common/checked_access.h"
#include "image/gray_buf.h"
#include "image/image_size.h"
#include "image/rgb_buf.h"

namespace AztecCore::Image {

namespace {

constexpr std::uint32_t kRedWeight = 2125;
constexpr std::uint32_t kGreenWeight = 7154;
constexpr std::uint32_t kBlueWeight = 721;
constexpr std::uint32_t kWeightSum = 10000;  // so white stays exactly 255
static_assert(kRedWeight + kGreenWeight + kBlueWeight == kWeightSum);

}  // namespace

void GrayBuf::setFromRgb(const RgbBuf& colour) {
    const std::int32_t w = colour.width();
    const std::int32_t h = colour.height();
    resize(w, h);
    const RgbBuf::ColorPlane& red = colour.red();
    const RgbBuf::ColorPlane& green = colour.green();
    const RgbBuf::ColorPlane& blue = colour.blue();
    for (std::int32_t y = 0; y < h; ++y) {
        selectRow(y);
        const std::int64_t redRow = std::int64_t{red.stride} * y;
        const std::int64_t greenRow = std::int64_t{green.stride} * y;
        const std::int64_t blueRow = std::int64_t{blue.stride} * y;
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t r = checkedAt(red.bytes, redRow + x);
            const std::uint32_t g = checkedAt(green.bytes, greenRow + x);
            const std::uint32_t b = checkedAt(blue.bytes, blueRow + x);
            ++store_.cursor;
            checkedAt(store_.bytes, store_.cursor) =
                static_cast<std::uint8_t>((kRedWeight * r + kGreenWeight * g + kBlueWeight * b) / kWeightSum);
        }
    }
    width_ = w;
    height_ = h;
}

}  // namespace AztecCore::Image
