#include "print_page.h"

#include <algorithm>
#include <random>

#include "support/photo_scene.h"

namespace talavex_bench {

talavex_test::GrayImage printPage(int width, int height, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Paper a little brighter on one side, as under a desk lamp.
    const int paper = between(200, 230);
    const int falloff = between(0, 25);
    talavex_test::GrayImage page = talavex_test::blankImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            page.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(paper - falloff * x / std::max(1, width - 1));
    const int glyph = std::max(4, height / between(100, 130));
    const int margin = std::max(4, width / 16);
    const int advance = glyph + glyph / 3;  // as textBlock places its glyphs
    int y = std::max(glyph, height / 20);
    while (y < height - 2 * glyph) {
        // textBlock's lines are two glyphs apart; a heading is half as large again.
        const bool heading = between(0, 5) == 0;
        const int size = heading ? glyph * 3 / 2 : glyph;
        const int lines = heading ? 1 : between(3, 9);
        const int perLine = std::max(1, (width - 2 * margin) / (size + size / 3));
        const int room = (height - glyph - y) / (2 * size);
        if (room <= 0) break;
        talavex_test::photo_detail::textBlock(page, rng, margin, y, size, std::min(lines, room),
                                              heading ? between(1, perLine / 2 + 1) : perLine);
        y += 2 * size * std::min(lines, room) + advance;
    }
    talavex_test::gaussianBlur(page, 0.5);
    talavex_test::addNoise(page, 3.0, seed + 1);
    return page;
}

}  // namespace talavex_bench
