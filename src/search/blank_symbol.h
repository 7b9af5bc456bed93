#pragma once
// Removing a read symbol from the reader's copy of the image, so that the
// next search finds the symbols it has not read yet.
#include <cstdint>

#include "image/gray_buf.h"
#include "math/projective_map.h"

namespace AztecCore {

// Fills the quadrilateral `corners` (in order around it), pushed `margin`
// pixels outward at every corner, with `level`; pixels off the image are
// skipped.
void blankQuadrilateral(Image::GrayBuf& image, const Aztec::Math::PointD (&corners)[4], double margin,
                        std::uint8_t level);

// The mean of the four corners.
Aztec::Math::PointD centroid(const Aztec::Math::PointD (&corners)[4]);

// Whether `p` lies inside the convex quadrilateral `corners`.
bool insideQuadrilateral(const Aztec::Math::PointD (&corners)[4], const Aztec::Math::PointD& p);

}  // namespace AztecCore
