#pragma once
// Frames for the golden check of the kinds the test support has no generator
// for: smooth gradients, checkerboards, and windows cut from another image.
#include <cstdint>

#include "support/render.h"

namespace talavex_bench {

// A linear ramp from `from` to `to` gray across the frame at `angleDegrees`,
// or, when `radial`, from `from` at the centre to `to` in the corners.
talavex_test::GrayImage gradientFrame(int width, int height, int from, int to, double angleDegrees, bool radial);

// Square cells of `cell` pixels alternating between `dark` and `light`,
// turned by `angleDegrees` about the frame centre; a cell corner sits at
// (phaseX, phaseY) pixels from the centre.
talavex_test::GrayImage checkerboardFrame(int width, int height, double cell, int dark, int light, double angleDegrees,
                                          double phaseX, double phaseY);

// The `width` x `height` window centred on the image's centre; where the
// window reaches past the image it is white.
talavex_test::GrayImage centreWindow(const talavex_test::GrayImage& image, int width, int height);

}  // namespace talavex_bench
