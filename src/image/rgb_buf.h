#pragma once
// A colour frame held as three 8-bit planes, filled from interleaved BGRA.
#include <cstdint>
#include <vector>

namespace AztecCore::Image {

class RgbBuf {
public:
    struct ColorPlane {
        std::vector<std::uint8_t> bytes;
        std::int32_t stride = 0;
    };

    RgbBuf() = default;

    // Reads width*height pixels of four bytes (blue, green, red, alpha); alpha is ignored.
    void setFromBGRA(const std::uint8_t* pixels, std::int32_t width, std::int32_t height);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

    // Planes exist once a size has been set; before that they are empty.
    const ColorPlane& red() const { return r_; }
    const ColorPlane& green() const { return g_; }
    const ColorPlane& blue() const { return b_; }

private:
    ColorPlane r_, g_, b_;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace AztecCore::Image
