#pragma once
// Photo scenes for the tests of the photo pass, the read-rate report and the
// benchmarks: a cluttered, unevenly lit background with dark blocks, frames and
// lines of text-like marks, one real symbol composited anywhere in it, and the
// camera's finishing touches (sensor noise, shading, JPEG).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "support/aztec_encoder.h"
#include "support/render.h"

namespace talavex_test {

namespace photo_detail {

inline void fillRect(GrayImage& image, int x0, int y0, int w, int h, int value) {
    for (int y = std::max(0, y0); y < std::min(image.height, y0 + h); ++y) {
        for (int x = std::max(0, x0); x < std::min(image.width, x0 + w); ++x) {
            image.pixels[static_cast<std::size_t>(y) * image.width + x] = static_cast<std::uint8_t>(value);
        }
    }
}

inline void frameRect(GrayImage& image, int x, int y, int w, int h, int thickness, int value) {
    fillRect(image, x, y, w, thickness, value);
    fillRect(image, x, y + h - thickness, w, thickness, value);
    fillRect(image, x, y, thickness, h, value);
    fillRect(image, x + w - thickness, y, thickness, h, value);
}

// A paragraph of "text": lines of glyph-sized marks (bars, boxes, dots, gaps
// between words) in one dark ink.
inline void textBlock(GrayImage& image, std::mt19937& rng, int x0, int y0, int glyph, int lines, int lineLength) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int ink = uniform(10, 80);
    const int stroke = std::max(1, glyph / 5);
    for (int line = 0; line < lines; ++line) {
        const int y = y0 + line * glyph * 2;
        int x = x0;
        for (int i = 0; i < lineLength; ++i, x += glyph + glyph / 3) {
            switch (uniform(0, 7)) {
                case 0:  // word gap
                    break;
                case 1:  // ring-like letter
                    frameRect(image, x, y, glyph, glyph, stroke, ink);
                    break;
                case 2:  // tall stroke
                    fillRect(image, x + glyph / 3, y - glyph / 3, stroke, glyph + glyph / 3, ink);
                    break;
                case 3:  // cross bar
                    fillRect(image, x, y + glyph / 2, glyph, stroke, ink);
                    fillRect(image, x + glyph / 2, y, stroke, glyph, ink);
                    break;
                default:  // blotchy letter
                    fillRect(image, x, y, glyph, stroke, ink);
                    fillRect(image, x, y, stroke, glyph, ink);
                    fillRect(image, x, y + glyph - stroke, glyph - uniform(0, glyph / 2), stroke, ink);
                    break;
            }
        }
    }
}

}  // namespace photo_detail

// A desk-like photo without a symbol: light paper shading diagonally from 150
// to 230, dark blocks, hollow frames, scribbles and paragraphs of text-like
// marks, with light sensor noise. The number of marks grows with the area
// (times `density`), their size with the shorter side.
inline GrayImage clutteredPhoto(int width, int height, std::uint32_t seed, double density = 1.0) {
    using photo_detail::fillRect;
    GrayImage image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(150 + 80 * (x + y) / (width + height));
        }
    }
    std::mt19937 rng(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const double area = density * width * height / (1280.0 * 960.0);
    auto count = [&](int perPhoto) { return std::max(1, static_cast<int>(perPhoto * area)); };
    const int scale = std::max(1, std::min(width, height) / 960);
    for (int i = 0; i < count(25); ++i) {
        fillRect(image, uniform(0, width), uniform(0, height), uniform(10, 80) * scale, uniform(10, 80) * scale,
                 uniform(0, 90));
    }
    for (int i = 0; i < count(60); ++i) {
        fillRect(image, uniform(0, width), uniform(0, height), uniform(2, 40) * scale, uniform(2, 6) * scale,
                 uniform(0, 60));
    }
    for (int i = 0; i < count(10); ++i) {
        const int side = uniform(20, 90) * scale;
        photo_detail::frameRect(image, uniform(0, width), uniform(0, height), side, side, uniform(2, 6) * scale,
                                uniform(0, 70));
    }
    for (int i = 0; i < count(6); ++i) {
        photo_detail::textBlock(image, rng, uniform(0, width), uniform(0, height), uniform(5, 14) * scale,
                                uniform(2, 8), uniform(10, 40));
    }
    addNoise(image, 3.0, seed + 1);
    return image;
}

// Light falling unevenly over the whole scene, symbol included: a linear
// falloff in a random direction down to `darkest` (a factor, e.g. 0.4) at the
// far side, and a soft round shadow half as deep somewhere in the photo.
inline void shadeUnevenly(GrayImage& image, double darkest, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    const double angle = uniform(0.0, 6.283185307179586);
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    const double reach = std::abs(dx) * image.width + std::abs(dy) * image.height;
    const double shadowX = uniform(0.0, image.width);
    const double shadowY = uniform(0.0, image.height);
    const double shadowRadius = uniform(0.15, 0.35) * std::min(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            // 0 on the bright side, 1 on the far side of the photo.
            const double along = ((x - 0.5 * image.width) * dx + (y - 0.5 * image.height) * dy) / reach + 0.5;
            const double r2 =
                ((x - shadowX) * (x - shadowX) + (y - shadowY) * (y - shadowY)) / (shadowRadius * shadowRadius);
            const double shadow = std::exp(-r2);
            const double light = (1.0 - (1.0 - darkest) * along) * (1.0 - 0.5 * (1.0 - darkest) * shadow);
            std::uint8_t& p = image.pixels[static_cast<std::size_t>(y) * image.width + x];
            p = static_cast<std::uint8_t>(std::clamp(p * light + 0.5, 0.0, 255.0));
        }
    }
}

// A shadow cast over part of the scene: beyond the line through (x, y) at
// `angleDegrees` the light drops to `depth` (a factor), over a soft edge
// `softness` pixels wide, as under a hand or a phone held over the page.
inline void castShadow(GrayImage& image, double x, double y, double angleDegrees, double depth, double softness) {
    const double a = angleDegrees * 3.14159265358979323846 / 180.0;
    const double nx = -std::sin(a);
    const double ny = std::cos(a);
    for (int py = 0; py < image.height; ++py) {
        for (int px = 0; px < image.width; ++px) {
            const double d = ((px + 0.5 - x) * nx + (py + 0.5 - y) * ny) / std::max(softness, 1e-3);
            const double inShadow = std::clamp(d + 0.5, 0.0, 1.0);
            if (inShadow <= 0.0) continue;
            std::uint8_t& p = image.pixels[static_cast<std::size_t>(py) * image.width + px];
            p = static_cast<std::uint8_t>(std::clamp(p * (1.0 - (1.0 - depth) * inShadow) + 0.5, 0.0, 255.0));
        }
    }
}

// One photo of a symbol. The render options place and distort the symbol
// (drawSymbol: blur and noise touch the symbol only); the rest acts on the
// whole photo afterwards, in the order a camera would: shading, sensor noise,
// JPEG compression.
struct PhotoScene {
    int width = 1280;
    int height = 960;
    std::uint32_t backgroundSeed = 1;
    double centreX = 640.0;  // symbol centre, pixels
    double centreY = 480.0;
    RenderOptions render;       // width, height and offsets are not used
    double darkest = 1.0;       // shadeUnevenly's factor; 1: even light
    double shadowDepth = 1.0;   // castShadow's factor for a shadow edge across the symbol; 1: none
    double shadowAngle = 0.0;   // direction of that edge, degrees
    double shadowOffset = 0.0;  // its distance from the symbol centre, pixels
    double sensorNoise = 0.0;   // Gaussian sigma over the whole photo, gray levels
    int jpegQuality = 0;        // 0: no JPEG
    double clutter = 1.0;       // clutteredPhoto's density
};

inline GrayImage composePhoto(const AztecSymbol* symbol, const PhotoScene& scene) {
    GrayImage photo = clutteredPhoto(scene.width, scene.height, scene.backgroundSeed, scene.clutter);
    if (symbol) drawSymbol(photo, *symbol, scene.centreX, scene.centreY, scene.render);
    if (scene.darkest < 1.0) shadeUnevenly(photo, scene.darkest, scene.backgroundSeed * 7919u + 3u);
    if (scene.shadowDepth < 1.0) {
        const double a = scene.shadowAngle * 3.14159265358979323846 / 180.0;
        castShadow(photo, scene.centreX - std::sin(a) * scene.shadowOffset,
                   scene.centreY + std::cos(a) * scene.shadowOffset, scene.shadowAngle, scene.shadowDepth, 6.0);
    }
    if (scene.sensorNoise > 0.0) addNoise(photo, scene.sensorNoise, scene.backgroundSeed * 31u + 5u);
    if (scene.jpegQuality > 0) jpegDegrade(photo, scene.jpegQuality);
    return photo;
}

// Whether the symbol with its quiet zone, drawn at (cx, cy), lies wholly
// inside the photo (tilt and rotation included).
inline bool symbolFits(const AztecSymbol& symbol, const RenderOptions& render, double cx, double cy, int width,
                       int height) {
    const double lo = -render.quietZone;
    const double hi = symbol.size + render.quietZone;
    for (const double u : {lo, hi}) {
        for (const double v : {lo, hi}) {
            const ImagePoint p = symbolToImageAt(symbol, render, cx, cy, u, v);
            if (p.x < 0.0 || p.y < 0.0 || p.x > width || p.y > height) return false;
        }
    }
    return true;
}

}  // namespace talavex_test
