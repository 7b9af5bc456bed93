#pragma once
// The 8-bit grayscale raster that every analysis step reads (0 black, 255
// white). Storage only grows: shrinking or re-sizing to a smaller image keeps
// the byte vector, so one buffer can be reused through a run of sizes.
#include <cstdint>
#include <vector>

#include "common/checked_access.h"
#include "common/deadline.h"
#include "image/zeroed_allocator.h"

namespace AztecCore::Image {

class GrayBuf {
public:
    GrayBuf();  // 0 x 0, one zero byte of storage
    GrayBuf(const std::uint8_t* pixels, std::int32_t width, std::int32_t height);
    explicit GrayBuf(const GrayBuf* other);  // deep copy, slack included
    // The caller's packed pixels, read in place instead of copied: the caller
    // keeps them alive and unchanged while this buffer or a copy of it reads
    // them. The first write gives the buffer storage of its own.
    static GrayBuf lend(const std::uint8_t* pixels, std::int32_t width, std::int32_t height);
    GrayBuf(const GrayBuf& other) = default;
    GrayBuf& operator=(const GrayBuf& other) = default;
    GrayBuf(GrayBuf&&) noexcept = default;
    GrayBuf& operator=(GrayBuf&&) noexcept = default;

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::int32_t stride() const { return store_.stride; }
    std::size_t storageSize() const { return bytesSize(); }

    // Checked access at index stride*y + x; x and y are not checked separately.
    // Inline: the analysis steps call these for almost every pixel they touch.
    std::uint8_t pixel(std::int32_t x, std::int32_t y) const {
        const std::int64_t i = indexOf(x, y);
        if (i < 0 || static_cast<std::uint64_t>(i) >= bytesSize()) throwInvalidSubscript();
        return bytesData()[i];
    }
    void setPixel(std::int32_t x, std::int32_t y, std::uint8_t value) {
        own();
        checkedAt(store_.bytes, indexOf(x, y)) = value;
    }

    // The pixels of row y from x = 0, after one check that the whole row lies
    // in storage; for loops over a row that keep x within [0, width).
    const std::uint8_t* row(std::int32_t y) const { return bytesData() + checkedRowStart(y); }
    std::uint8_t* row(std::int32_t y) {
        own();
        return store_.bytes.data() + checkedRowStart(y);
    }

    void resize(std::int32_t w, std::int32_t h);
    // As resize, for a caller about to write every pixel: storage it has to
    // allocate comes unzeroed (image/zeroed_allocator.h), and the pixels
    // hold anything until written.
    void resizeForOverwrite(std::int32_t w, std::int32_t h);
    // Sets every pixel of the image (not the slack beyond it).
    void fill(std::uint8_t value);
    void fillWhite() { fill(255); }
    void stretchContrast();

    // From interleaved BGRA (alpha ignored), through the fixed integer luma
    // weights of image/luma.h. Every row converted counts against `deadline`.
    void setFromBGRA(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                     const Deadline& deadline = Deadline::none());

private:
    using Bytes = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;
    struct PixelStore {
        // Bytes beyond those ever written stay zero without being touched.
        // Its allocator always zeroes: an unzeroed block is moved into it,
        // which keeps this allocator for the growth after.
        Bytes bytes = Bytes(1);
        std::int32_t stride = 1;
        // While set, the pixels are these lent bytes, and `bytes` is unused.
        const std::uint8_t* lent = nullptr;
        std::size_t lentSize = 0;
    };
    const std::uint8_t* bytesData() const { return store_.lent != nullptr ? store_.lent : store_.bytes.data(); }
    std::size_t bytesSize() const { return store_.lent != nullptr ? store_.lentSize : store_.bytes.size(); }
    // Before any write: lent pixels become a copy of the buffer's own.
    void own() {
        if (store_.lent != nullptr) ownLentPixels();
    }
    void ownLentPixels();
    void growTo(std::int64_t count);
    std::int64_t indexOf(std::int32_t x, std::int32_t y) const { return std::int64_t{store_.stride} * y + x; }
    std::int64_t checkedRowStart(std::int32_t y) const {
        const std::int64_t first = indexOf(0, y);
        const std::int64_t end = first + std::max(width_, 0);
        if (first < 0 || end > static_cast<std::int64_t>(bytesSize())) throwInvalidSubscript();
        return first;
    }

    PixelStore store_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace AztecCore::Image
