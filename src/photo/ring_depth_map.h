#pragma once
// Turns a black/white photo into a map of how deeply each pixel is nested in
// rings of alternating colour. The centre of a bull's-eye, enclosed by many
// rings on every side, comes out brightest.
#include <array>
#include <cstdint>
#include <functional>

#include "common/deadline.h"
#include "image/gray_buf.h"

namespace AztecCore {

// Writes row y of the black/white image as 1 (black) or 0 (white) into dark[0 .. width).
using DarkRowReader = std::function<void(std::int32_t y, std::uint8_t* dark)>;

// The map before its stretch, and the stretch as the value each byte present
// becomes ((p - lowest) * 255 / (highest - lowest), 0 for bytes absent). The
// stretch rises strictly over the bytes present, so whatever depends only on
// how the map's values compare can read the unstretched map. The image is
// read row by row, each row once per vertical sweep, so it never needs to
// exist as a whole. The reader counts its own rows against a deadline; the
// map's range, taken after the sweeps, counts against `deadline`.
struct UnstretchedDepthMap {
    Image::GrayBuf map;
    std::array<std::uint8_t, 256> stretched{};
};
UnstretchedDepthMap buildUnstretchedRingDepthMap(std::int32_t width, std::int32_t height, const DarkRowReader& readRow,
                                                 const Deadline& deadline = Deadline::none());

}  // namespace AztecCore
