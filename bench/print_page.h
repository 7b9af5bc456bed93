#pragma once
// A page of print without a symbol, as a document scanner or a camera held
// over a letter sees it: light paper covered margin to margin with lines of
// text-like marks, a heading now and then. Denser than the desk clutter of
// tests/support/photo_scene.h, which leaves most of the paper bare.
#include <cstdint>

#include "support/render.h"

namespace talavex_bench {

// Glyphs grow with the page's height (about 60 lines of body text a page);
// slightly soft, with light sensor noise.
talavex_test::GrayImage printPage(int width, int height, std::uint32_t seed);

}  // namespace talavex_bench
