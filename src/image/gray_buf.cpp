#include "image/gray_buf.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "common/checked_access.h"
#include "image/image_size.h"

namespace AztecCore::Image {

GrayBuf::GrayBuf() = default;

GrayBuf::GrayBuf(const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    // A plane of size 0 x 0 leaves the stride at 0 rather than 1; nothing
    // addresses pixels through it, but a copy carries the value along.
    store_.stride = 0;
    if (width == 0 && height == 0) return;
    growTo(pixelCount(width, height));
    store_.stride = width;
    width_ = width;
    height_ = height;
    if (width < 1 || height < 1) return;
    // Rows are tightly packed on both sides (stride == width) and growTo made
    // room for all of them, so the plane is one contiguous block.
    const auto count = static_cast<std::size_t>(pixelCount(width, height));
    std::copy(pixels, pixels + count, store_.bytes.begin());
}

GrayBuf::GrayBuf(const GrayBuf* other) : GrayBuf(*other) {}

GrayBuf GrayBuf::lend(const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1) return GrayBuf(pixels, width, height);
    const std::int64_t count = pixelCount(width, height);
    requireAddressable(count);
    GrayBuf image;
    image.store_.stride = width;
    image.store_.lent = pixels;
    image.store_.lentSize = static_cast<std::size_t>(count);
    image.width_ = width;
    image.height_ = height;
    return image;
}

void GrayBuf::ownLentPixels() {
    store_.bytes.assign(store_.lent, store_.lent + store_.lentSize);
    store_.lent = nullptr;
    store_.lentSize = 0;
}

void GrayBuf::growTo(std::int64_t count) {
    requireAddressable(count);
    own();
    // A negative count needs no room at all; the vector never shrinks.
    if (count > static_cast<std::int64_t>(store_.bytes.size())) store_.bytes.resize(static_cast<std::size_t>(count));
}

void GrayBuf::resize(std::int32_t w, std::int32_t h) {
    own();
    if (w == width_ && h == height_) return;
    growTo(pixelCount(w, h));
    store_.stride = w;
    width_ = w;
    height_ = h;
}

void GrayBuf::resizeForOverwrite(std::int32_t w, std::int32_t h) {
    const std::int64_t count = pixelCount(w, h);
    // Neither lent pixels nor old ones are kept: every pixel is written next.
    if (w > 0 && h > 0 && (store_.lent != nullptr || count > static_cast<std::int64_t>(store_.bytes.size()))) {
        requireAddressable(count);
        Bytes fresh(ZeroedAllocator<std::uint8_t>::forOverwrite());
        fresh.resize(static_cast<std::size_t>(count));
        store_.bytes = std::move(fresh);
        store_.lent = nullptr;
        store_.lentSize = 0;
        store_.stride = w;
    }
    resize(w, h);
}

void GrayBuf::fill(std::uint8_t value) {
    own();
    if (width_ < 1 || height_ < 1) return;
    // Rows are packed (stride == width), so the image is one block at the start.
    std::fill_n(store_.bytes.begin(), static_cast<std::size_t>(pixelCount(width_, height_)), value);
}

void GrayBuf::stretchContrast() {
    own();
    std::uint8_t lo = checkedAt(store_.bytes, 0);
    std::uint8_t hi = lo;
    for (std::int32_t y = 0; y < height_; ++y) {
        for (std::int32_t x = 0; x < width_; ++x) {
            const std::uint8_t p = pixel(x, y);
            hi = std::max(hi, p);
            lo = std::min(lo, p);
        }
    }
    const std::uint32_t d = hi == lo ? 1u : static_cast<std::uint32_t>(hi - lo);
    for (std::int32_t y = 0; y < height_; ++y) {
        for (std::int32_t x = 0; x < width_; ++x) {
            const std::uint32_t p = pixel(x, y);
            setPixel(x, y, static_cast<std::uint8_t>((p - lo) * 255u / d));
        }
    }
}

}  // namespace AztecCore::Image
