#pragma once
// Local thresholding of a photo: one level per 64 x 64 block, so that uneven
// lighting across a photo does not swallow a dark symbol in a bright area or
// blacken a whole shadowed area.
#include <cstdint>

#include "common/deadline.h"
#include "image/gray_buf.h"

namespace AztecCore {

inline constexpr std::int32_t kThresholdBlockSide = 64;

// One threshold per block, ceil(w/64) x ceil(h/64). Only complete blocks are
// measured; the extra right column and bottom row copy their neighbour.
// A source narrower or lower than one block raises std::out_of_range.
// Each block measured counts against `deadline`.
Image::GrayBuf computeBlockLevels(const Image::GrayBuf& source, const Deadline& deadline = Deadline::none());

// Row y of the thresholded source without the image: 1 where the source lies
// below its block's level, 0 where it reaches it, into dark[0 .. width).
void markDarkRow(const Image::GrayBuf& source, const Image::GrayBuf& levels, std::int32_t y, std::uint8_t* dark);

}  // namespace AztecCore
