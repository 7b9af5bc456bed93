#pragma once
// Turns a black/white photo into a map of how deeply each pixel is nested in
// rings of alternating colour. The centre of a bull's-eye, enclosed by many
// rings on every side, comes out brightest.
#include "image/gray_buf.h"

namespace AztecCore {

// Same size as `binary` (0 black, 255 white), stretched to 0..255.
Image::GrayBuf buildRingDepthMap(const Image::GrayBuf& binary);

}  // namespace AztecCore
