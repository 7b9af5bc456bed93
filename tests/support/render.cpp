#include "support/render.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

#include "support/blur_plane.h"
#include "support/gaussian_noise.h"
#include "support/gray_level.h"
#include "support/render_geometry.h"
#include "support/symbol_raster.h"

namespace talavex_test {
namespace {

using detail::SymbolPlacement;

void checkLevels(const RenderOptions& options) {
    if (options.black < 0 || options.black > 255 || options.white < 0 || options.white > 255) {
        throw std::invalid_argument("render: gray levels must lie in 0..255");
    }
    if (options.width < 0 || options.height < 0) {
        throw std::invalid_argument("render: negative image size");
    }
}

// Image size renderSymbol uses for these options.
void renderedSize(const AztecSymbol& symbol, const RenderOptions& options, int& width, int& height) {
    const SymbolPlacement centred(symbol.size, options, 0.0, 0.0);
    width = options.width > 0 ? options.width : detail::naturalImageSide(centred.halfExtentX());
    height = options.height > 0 ? options.height : detail::naturalImageSide(centred.halfExtentY());
}

SymbolPlacement renderPlacement(const AztecSymbol& symbol, const RenderOptions& options, int width, int height) {
    return SymbolPlacement(symbol.size, options, 0.5 * width + options.offsetX, 0.5 * height + options.offsetY);
}

// Blur acts on the coverage layers before the contrast mapping; both steps are
// linear, so this equals blurring the contrast-mapped symbol, but it keeps the
// pixels under the symbol's surroundings out of the blur.
void compositeSymbol(GrayImage& image, const AztecSymbol& symbol, const SymbolPlacement& placement,
                     const RenderOptions& options, bool noiseUnderSymbol) {
    checkLevels(options);
    const int margin = options.blurSigma > 0.0 ? detail::blurRadius(options.blurSigma) : 0;
    detail::SymbolLayer layer =
        detail::rasterizeSymbol(symbol, placement, options.supersample, margin, image.width, image.height);
    detail::blurPlane(layer.ink, layer.width, layer.height, options.blurSigma, detail::BlurEdge::Zero);
    detail::blurPlane(layer.cover, layer.width, layer.height, options.blurSigma, detail::BlurEdge::Zero);

    const bool noisy = noiseUnderSymbol && options.noiseSigma > 0.0;
    detail::GaussianNoise noise(options.noiseSigma, options.seed);
    const int xBegin = std::max(layer.x0, 0);
    const int xEnd = std::min(layer.x0 + layer.width, image.width);
    const int yBegin = std::max(layer.y0, 0);
    const int yEnd = std::min(layer.y0 + layer.height, image.height);
    for (int y = yBegin; y < yEnd; ++y) {
        for (int x = xBegin; x < xEnd; ++x) {
            const std::size_t index = static_cast<std::size_t>(y - layer.y0) * layer.width + (x - layer.x0);
            const double cover = std::clamp(static_cast<double>(layer.cover[index]), 0.0, 1.0);
            if (cover <= 0.0) {
                continue;
            }
            const double ink = std::clamp(static_cast<double>(layer.ink[index]), 0.0, cover);
            std::uint8_t& pixel = image.pixels[static_cast<std::size_t>(y) * image.width + x];
            double value = pixel * (1.0 - cover) + options.white * (cover - ink) + options.black * ink;
            if (noisy) {
                value += noise();
            }
            pixel = detail::toGrayLevel(value);
        }
    }
}

}  // namespace

GrayImage renderSymbol(const AztecSymbol& symbol, const RenderOptions& options) {
    checkLevels(options);
    GrayImage image;
    renderedSize(symbol, options, image.width, image.height);
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, static_cast<std::uint8_t>(options.white));
    compositeSymbol(image, symbol, renderPlacement(symbol, options, image.width, image.height), options, false);
    addNoise(image, options.noiseSigma, options.seed);
    return image;
}

void drawSymbol(GrayImage& image, const AztecSymbol& symbol, double cx, double cy, const RenderOptions& options) {
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        throw std::invalid_argument("drawSymbol: pixel buffer does not match the image size");
    }
    compositeSymbol(image, symbol, SymbolPlacement(symbol.size, options, cx, cy), options, true);
}

ImagePoint symbolToImage(const AztecSymbol& symbol, const RenderOptions& options, double u, double v) {
    int width = 0;
    int height = 0;
    renderedSize(symbol, options, width, height);
    return renderPlacement(symbol, options, width, height).toImage(u, v);
}

ImagePoint symbolToImageAt(const AztecSymbol& symbol, const RenderOptions& options, double cx, double cy, double u,
                           double v) {
    return SymbolPlacement(symbol.size, options, cx, cy).toImage(u, v);
}

}  // namespace talavex_test
