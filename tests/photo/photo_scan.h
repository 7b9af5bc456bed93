#pragma once
// Photo-sized test scenes: a textured background with clutter that a
// bull's-eye search may stumble over, and optionally real Aztec symbols.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "api/recognizer.h"
#include "image/rgb_buf.h"
#include "support/aztec_encoder.h"
#include "support/render.h"

namespace photo_test {

using talavex_test::GrayImage;

inline GrayImage backgroundPhoto(int width, int height, std::uint32_t seed) {
    GrayImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    // Uneven lighting: a diagonal gradient from 150 to 230.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(150 + 80 * (x + y) / (width + height));
    std::mt19937 rng(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto fill = [&](int x0, int y0, int w, int h, int value) {
        for (int y = std::max(0, y0); y < std::min(height, y0 + h); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x0 + w); ++x)
                image.pixels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(value);
    };
    // Dark blocks, thin "text" strokes and hollow frames.
    for (int i = 0; i < 25; ++i) fill(uniform(0, width), uniform(0, height), uniform(10, 80), uniform(10, 80), uniform(0, 90));
    for (int i = 0; i < 60; ++i) fill(uniform(0, width), uniform(0, height), uniform(2, 40), uniform(2, 6), uniform(0, 60));
    for (int i = 0; i < 10; ++i) {
        const int x = uniform(0, width), y = uniform(0, height), s = uniform(20, 90), t = uniform(2, 6);
        const int v = uniform(0, 70);
        fill(x, y, s, t, v);
        fill(x, y + s - t, s, t, v);
        fill(x, y, t, s, v);
        fill(x + s - t, y, t, s, v);
    }
    talavex_test::addNoise(image, 3.0, seed + 1);
    return image;
}

struct PhotoScan {
    AztecCore::ScanStatus result = AztecCore::NotFound;
    std::string status;
    std::string text;
};

inline PhotoScan scanPhoto(AztecCore::Recognizer& recognizer, const GrayImage& photo) {
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(photo, 7);
    AztecCore::Image::RgbBuf frame;
    frame.setFromBGRA(bgra.data(), photo.width, photo.height);
    PhotoScan scan;
    scan.result = recognizer.scanPhoto(frame, scan.status);
    scan.text = recognizer.resultText();
    return scan;
}

inline PhotoScan scanPhoto(const GrayImage& photo) {
    AztecCore::Recognizer recognizer;
    return scanPhoto(recognizer, photo);
}

}  // namespace photo_test
