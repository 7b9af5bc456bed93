#include "photo/ring_depth_map.h"

#include <cstdint>
#include <vector>

namespace AztecCore {

using Image::GrayBuf;

namespace {

using Counters = std::vector<std::uint32_t>;

// Lowers c[x] by an even amount until it is at most one above `neighbour`;
// an even step keeps the parity, which encodes the pixel's colour.
void limitAbove(std::uint32_t& c, std::uint32_t neighbour) {
    if (c >= neighbour + 2) c -= 2 * ((c - neighbour) / 2);
}

// A counter may not rise more than one above its neighbours, starting from at
// most 1 at either border, so deep counts survive only where rings enclose a
// pixel from the sides as well as from above or below.
void constrainRow(Counters& c) {
    const std::size_t w = c.size();
    if (c[0] > 1) c[0] = 0;
    for (std::size_t x = 1; x < w; ++x) limitAbove(c[x], c[x - 1]);
    if (c[w - 1] > 1) c[w - 1] = 0;
    for (std::size_t x = w - 1; x-- > 0;) limitAbove(c[x], c[x + 1]);
}

bool isBlack(const GrayBuf& image, std::int32_t x, std::int32_t y) { return image.pixel(x, y) < 128; }

// One vertical sweep from row `first` towards row `last` (step +1 or -1),
// adding each pixel's constrained change count to the map in byte arithmetic.
void sweep(const GrayBuf& binary, GrayBuf& map, Counters& c, std::int32_t first, std::int32_t last, std::int32_t step) {
    const std::int32_t w = binary.width();
    auto accumulate = [&](std::int32_t y) {
        for (std::int32_t x = 0; x < w; ++x) {
            const std::uint32_t sum = map.pixel(x, y) + c[static_cast<std::size_t>(x)];
            map.setPixel(x, y, static_cast<std::uint8_t>(sum & 0xFFu));
        }
    };
    for (std::int32_t x = 0; x < w; ++x) c[static_cast<std::size_t>(x)] = isBlack(binary, x, first) ? 1 : 0;
    accumulate(first);
    for (std::int32_t y = first; y != last;) {
        const std::int32_t previous = y;
        y += step;
        for (std::int32_t x = 0; x < w; ++x)
            if (binary.pixel(x, previous) != binary.pixel(x, y)) ++c[static_cast<std::size_t>(x)];
        constrainRow(c);
        accumulate(y);
    }
}

}  // namespace

GrayBuf buildRingDepthMap(const GrayBuf& binary) {
    const std::int32_t w = binary.width();
    const std::int32_t h = binary.height();
    GrayBuf map;
    map.resize(w, h);  // fresh storage: every byte starts at 0
    if (w > 0 && h > 0) {
        Counters c(static_cast<std::size_t>(w));
        sweep(binary, map, c, 0, h - 1, 1);
        sweep(binary, map, c, h - 1, 0, -1);
    }
    map.stretchContrast();
    return map;
}

}  // namespace AztecCore
