#pragma once
// Test tool: renders a module matrix into a gray image the way a camera would
// see it. Every output pixel is area-sampled (anti-aliased) from the ideal
// geometry, then blurred, contrast-mapped and given noise, in that order.
#include <cstdint>
#include <string>
#include <vector>

#include "support/aztec_encoder.h"

namespace talavex_test {

struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // row-major, width * height
    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A width x height image of one grey level (white by default).
inline GrayImage blankImage(int width, int height, std::uint8_t value = 255) {
    GrayImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height, value);
    return image;
}

struct RenderOptions {
    double moduleSize = 4.0;    // pixels per module
    int quietZone = 4;          // light modules around the symbol
    double angleDegrees = 0.0;  // rotation about the symbol centre
    double tiltX = 0.0;         // perspective: relative foreshortening along x (e.g. 0.2)
    double tiltY = 0.0;         // perspective: relative foreshortening along y
    bool mirror = false;        // left-right mirror image of the symbol
    double blurSigma = 0.0;     // Gaussian blur, pixels
    double noiseSigma = 0.0;    // additive Gaussian noise, gray levels
    int black = 0;              // gray level of dark modules
    int white = 255;            // gray level of light modules and background
    int width = 0;              // image size; 0: symbol plus quiet zone
    int height = 0;
    double offsetX = 0.0;  // symbol centre relative to the image centre, pixels
    double offsetY = 0.0;
    std::uint32_t seed = 1;  // noise seed
    int supersample = 4;     // area samples per pixel side
};

// A width or height of 0 takes the extent of the mapped symbol-plus-quiet-zone
// square, taken symmetrically about the symbol centre (offsets not counted),
// so an upright symbol with integer module size gets (size + 2 * quietZone) *
// moduleSize pixels a side. The symbol centre lies at (width / 2 + offsetX,
// height / 2 + offsetY) in continuous pixel coordinates; pixel (x, y) covers
// [x, x+1) x [y, y+1). Pixels lying wholly in one module get that module's
// level exactly (before blur and noise). Throws std::invalid_argument for invalid options.
GrayImage renderSymbol(const AztecSymbol& symbol, const RenderOptions& options = {});

// Draws `symbol` into an existing image (for photos with clutter), centred at (cx, cy).
// (cx, cy) are continuous pixel coordinates: pixel (x, y) covers [x, x+1) x [y, y+1).
// The symbol and its light quiet zone are composited over the image; outside the
// quiet zone the image keeps its pixels. options.width/height/offsetX/offsetY are
// not used. The blur softens the symbol layer (and the edge of its quiet zone)
// only; noise is added only to pixels the symbol layer touches.
void drawSymbol(GrayImage& image, const AztecSymbol& symbol, double cx, double cy, const RenderOptions& options);

// Geometry, shared by renderSymbol and drawSymbol: symbol points are scaled by
// moduleSize about the symbol centre, mirrored left-right if asked, rotated
// clockwise on screen (y grows downward) by angleDegrees, then given the
// perspective tilt in image axes (tiltX = 0.2: at the symbol's half-size right
// of the centre, vertical lengths are 20% shorter than at the same distance
// left of it; negative values shorten the left/top side; |tilt| < 1), and
// finally moved to the symbol centre. Invalid geometry throws std::invalid_argument.
struct ImagePoint {
    double x = 0.0;
    double y = 0.0;
};

// Where symbol point (u, v) lands in the image renderSymbol(symbol, options)
// returns. (u, v) count modules from the symbol's top-left corner, so module
// (x, y) has its centre at (x + 0.5, y + 0.5). Continuous pixel coordinates.
ImagePoint symbolToImage(const AztecSymbol& symbol, const RenderOptions& options, double u, double v);

// The same for drawSymbol(image, symbol, cx, cy, options).
ImagePoint symbolToImageAt(const AztecSymbol& symbol, const RenderOptions& options, double cx, double cy, double u,
                           double v);

// Separable Gaussian blur with the border pixels repeated outward; sigma <= 0 does nothing.
void gaussianBlur(GrayImage& image, double sigma);
// Adds N(0, sigma) to every pixel (drawn from std::mt19937 seeded with `seed`, row-major;
// tails cut near 4.3 sigma), rounded and clamped to 0..255.
void addNoise(GrayImage& image, double sigma, std::uint32_t seed);

// Interleaved BGRA pixels of a gray image; alpha filled from `alphaSeed` (random) when non-zero.
std::vector<std::uint8_t> toBGRA(const GrayImage& image, std::uint32_t alphaSeed = 0);

// Writes binary PGM (P5); returns false on I/O failure.
bool writePgm(const GrayImage& image, const std::string& path);

}  // namespace talavex_test

namespace talavex_test {

// What a camera's baseline JPEG does to a gray picture: 8x8 block DCT, the
// standard luminance quantisation table scaled by `quality` (1..100, clamped,
// scaled the way libjpeg's quality setting does), inverse DCT, rounding and
// clamping. Blocks cut by the right or bottom edge are padded by repeating the
// edge pixels, as encoders do. Deterministic; quality 100 is nearly lossless.
void jpegDegrade(GrayImage& image, int quality);

}  // namespace talavex_test
