#include "reader/image_to_gray.h"

#include <limits>

#include "image/luma.h"

namespace AztecCore::Reader {

std::uint32_t bytesPerPixel(std::uint32_t format) {
    switch (format) {
        case TALAVEX_GRAY8: return 1;
        case TALAVEX_BGRA:
        case TALAVEX_RGBA: return 4;
        case TALAVEX_BGR:
        case TALAVEX_RGB: return 3;
    }
    return 0;
}

const char* invalidViewReason(const talavex_image& view) {
    const std::uint32_t size = bytesPerPixel(rawValueOf(view.format));
    if (size == 0) return "unknown pixel format";
    if (view.width == 0 || view.height == 0) return "the image is empty";
    if (view.pixels == nullptr) return "the pixels are NULL";
    if (std::uint64_t{view.stride} < std::uint64_t{view.width} * size) return "the stride is smaller than a row";
    // The image code indexes with signed 32-bit arithmetic.
    const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    if (std::uint64_t{view.width} * view.height > limit) return "the image is too large";
    return nullptr;
}

namespace {

// Byte offsets of red, green and blue within a pixel.
struct Channels {
    std::uint32_t red, green, blue;
};

Channels channelsOf(std::uint32_t format) {
    const bool bgrOrder = format == TALAVEX_BGRA || format == TALAVEX_BGR;
    return bgrOrder ? Channels{2, 1, 0} : Channels{0, 1, 2};
}

}  // namespace

Image::GrayBuf grayFromView(const talavex_image& view, const Deadline& deadline) {
    const auto width = static_cast<std::int32_t>(view.width);
    const auto height = static_cast<std::int32_t>(view.height);
    const std::uint32_t format = rawValueOf(view.format);
    const std::uint32_t size = bytesPerPixel(format);
    const bool packed = std::uint64_t{view.stride} == std::uint64_t{view.width} * size;
    // The search only reads the image and copies it before any change.
    if (format == TALAVEX_GRAY8 && packed) return Image::GrayBuf::lend(view.pixels, width, height);
    Image::GrayBuf gray;
    // Tightly packed BGRA is what the exports take: the same vectorised conversion.
    if (format == TALAVEX_BGRA && packed) {
        gray.setFromBGRA(view.pixels, width, height, deadline);
        return gray;
    }
    gray.resize(width, height);
    const Channels c = channelsOf(format);
    for (std::int32_t y = 0; y < height; ++y) {
        deadline.spend(width);
        const std::uint8_t* in = view.pixels + std::uint64_t{view.stride} * static_cast<std::uint32_t>(y);
        std::uint8_t* out = gray.row(y);
        if (size == 1) {
            std::copy(in, in + width, out);
            continue;
        }
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = in + std::uint64_t{size} * static_cast<std::uint32_t>(x);
            out[x] = Image::luma(p[c.red], p[c.green], p[c.blue]);
        }
    }
    return gray;
}

}  // namespace AztecCore::Reader
