#pragma once
// Helpers of the locator tests: images as the locator sees them, synthetic
// bull's-eyes, and reading a rendered symbol through SymbolLocator.
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/gray_buf.h"
#include "locate/symbol_locator.h"
#include "support/aztec_encoder.h"
#include "support/render.h"

namespace locate_test {

using AztecCore::SymbolCandidate;
using AztecCore::SymbolKind;
using AztecCore::SymbolLocator;
using AztecCore::Image::GrayBuf;

inline std::shared_ptr<GrayBuf> toGrayBuf(const talavex_test::GrayImage& image) {
    return std::make_shared<GrayBuf>(image.pixels.data(), image.width, image.height);
}

inline talavex_test::GrayImage blankImage(int width, int height, std::uint8_t value = 255) {
    talavex_test::GrayImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height, value);
    return image;
}

// An axis-aligned bull's-eye of `rings` rings around a dark central module
// (Chebyshev ring k dark when k is even), modules of `module` pixels (or
// `module` x `moduleHeight`), its
// central module's top-left pixel at (left, top). Pixel centres sit at whole
// numbers, so the bull's-eye centre is at (left + (module - 1) / 2, ...).
inline void drawBullseye(talavex_test::GrayImage& image, int left, int top, int module, int rings,
                         int moduleHeight = 0) {
    const int mh = moduleHeight > 0 ? moduleHeight : module;
    for (int v = -rings; v <= rings; ++v) {
        for (int u = -rings; u <= rings; ++u) {
            const int ring = std::max(std::abs(u), std::abs(v));
            const std::uint8_t value = ring % 2 == 0 ? 0 : 255;
            for (int y = 0; y < mh; ++y)
                for (int x = 0; x < module; ++x) {
                    const int px = left + u * module + x;
                    const int py = top + v * mh + y;
                    if (px >= 0 && py >= 0 && px < image.width && py < image.height)
                        image.pixels[static_cast<std::size_t>(py) * image.width + px] = value;
                }
        }
    }
}

// The same bull's-eye turned by `degrees` about (cx, cy), drawn by the ring
// under each pixel centre; outside the rings the image keeps its pixels.
inline void drawTurnedBullseye(talavex_test::GrayImage& image, double cx, double cy, double module, int rings,
                               double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            const double u = (std::cos(a) * dx + std::sin(a) * dy) / module;
            const double v = (-std::sin(a) * dx + std::cos(a) * dy) / module;
            const int ring = static_cast<int>(std::floor(std::max(std::fabs(u), std::fabs(v)) + 0.5));
            if (ring > rings) continue;
            image.pixels[static_cast<std::size_t>(y) * image.width + x] = ring % 2 == 0 ? 0 : 255;
        }
    }
}

struct ReadOutcome {
    bool located = false;
    std::optional<std::vector<std::uint8_t>> bytes;
    SymbolKind kind = SymbolKind::None;
};

// What a single-frame driver does: shared source, one candidate, locate, read.
inline ReadOutcome readThroughLocator(const talavex_test::GrayImage& image) {
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    auto cands = locator.findCandidates();
    ReadOutcome outcome;
    outcome.located = locator.locate(*cands.at(0));
    outcome.kind = cands.at(0)->kind;
    if (outcome.located) outcome.bytes = locator.readSymbol(*cands.at(0));
    return outcome;
}

inline std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace locate_test
