#pragma once
// A symbol cropped to its own edge has no light margin for the finder's fills
// to stop in, and at one or two pixels per module its rings are too thin for
// the seeding's windows. The reader's copy is therefore given a light border
// and, when small, enlarged by a whole factor before the centre search.
#include <cstdint>
#include <optional>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "math/projective_map.h"

namespace AztecCore {

struct TightFrame {
    Image::GrayBuf image;
    std::int32_t border = 0;  // light pixels added on every side, before enlarging
    std::int32_t factor = 1;  // each original pixel became factor x factor pixels

    // The original image's point under a point of `image`.
    Aztec::Math::PointD toOriginal(const Aztec::Math::PointD& p) const {
        return {p.x / factor - border, p.y / factor - border};
    }
};

// The gray level of the image's light side: the mean of the pixels brighter
// than the image's mean.
std::uint8_t lightLevel(const Image::GrayBuf& image, const Deadline& deadline = Deadline::none());

// `image` inside a light border of a fifth of its longer side, enlarged by
// bilinear interpolation until its shorter side (border included) reaches
// `minSide` pixels or the factor reaches its limit. None when the framed
// image would have a side longer than `maxSide`. Every row written counts
// against `deadline`.
std::optional<TightFrame> frameTight(const Image::GrayBuf& image, std::int32_t minSide, std::int32_t maxSide,
                                     const Deadline& deadline = Deadline::none());

}  // namespace AztecCore
