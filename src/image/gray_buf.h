#pragma once
// The 8-bit grayscale raster that every analysis step reads (0 black, 255
// white). Storage only grows: shrinking or re-sizing to a smaller image keeps
// the byte vector, so one buffer can be reused through a run of sizes.
#include <cstdint>
#include <vector>

#include "common/checked_access.h"

namespace AztecCore::Image {

class RgbBuf;

class GrayBuf {
public:
    GrayBuf();  // 0 x 0, one zero byte of storage
    GrayBuf(const std::uint8_t* pixels, std::int32_t width, std::int32_t height);
    explicit GrayBuf(const GrayBuf* other);  // deep copy, slack included
    GrayBuf(const GrayBuf& other) = default;
    GrayBuf& operator=(const GrayBuf& other) = default;
    GrayBuf(GrayBuf&&) noexcept = default;
    GrayBuf& operator=(GrayBuf&&) noexcept = default;

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::int32_t stride() const { return store_.stride; }
    std::size_t storageSize() const { return store_.bytes.size(); }

    // Checked access at index stride*y + x; x and y are not checked separately.
    // Inline: the analysis steps call these for almost every pixel they touch.
    std::uint8_t pixel(std::int32_t x, std::int32_t y) const { return checkedAt(store_.bytes, indexOf(x, y)); }
    void setPixel(std::int32_t x, std::int32_t y, std::uint8_t value) {
        checkedAt(store_.bytes, indexOf(x, y)) = value;
    }

    // The pixels of row y from x = 0, after one check that the whole row lies
    // in storage; for loops over a row that keep x within [0, width).
    const std::uint8_t* row(std::int32_t y) const { return store_.bytes.data() + checkedRowStart(y); }
    std::uint8_t* row(std::int32_t y) { return store_.bytes.data() + checkedRowStart(y); }

    void resize(std::int32_t w, std::int32_t h);
    // Sets every pixel of the image (not the slack beyond it).
    void fill(std::uint8_t value);
    void fillWhite() { fill(255); }
    void stretchContrast();

    // Sequential row scan: selectRow(y), then nextPixel() yields (0,y), (1,y), ...
    void selectRow(std::int32_t y);
    std::uint8_t nextPixel();

    void setFromRgb(const RgbBuf& colour);
    // Straight from interleaved BGRA (alpha ignored), with the same luma as
    // setFromRgb gives for the three planes of that frame.
    void setFromBGRA(const std::uint8_t* pixels, std::int32_t width, std::int32_t height);

    // Row y's pixels (0,y) .. (width-1,y) for a tight loop: checked once as a
    // whole, raising like pixel() if any of them lies outside the storage.
    const std::uint8_t* rowPixels(std::int32_t y) const;
    std::uint8_t* rowPixels(std::int32_t y);

private:
    struct PixelStore {
        std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(1, 0);
        std::int32_t stride = 1;
        // Kept wide so that a row far past the end is reported by the bounds
        // check instead of wrapping around into the image.
        std::int64_t rowStart = 0;
        std::int64_t cursor = 0;
    };
    void growTo(std::int64_t count);
    std::int64_t indexOf(std::int32_t x, std::int32_t y) const { return std::int64_t{store_.stride} * y + x; }
    std::int64_t checkedRowStart(std::int32_t y) const {
        const std::int64_t first = indexOf(0, y);
        checkedAt(store_.bytes, first);
        checkedAt(store_.bytes, first + width_ - 1);
        return first;
    }

    PixelStore store_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace AztecCore::Image
