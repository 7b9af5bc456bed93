#include "support/symbol_raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace talavex_test::detail {
namespace {

// Module cell under a point.
struct Cell {
    int x = 0;
    int y = 0;
    bool valid = false;  // false beyond the horizon of the tilt
};

// Far-away coordinates are clamped so the conversion to int stays defined.
// Clamped cells lie far outside the quiet zone, so treating them as ordinary
// outside cells in the 2x2 block test below cannot hide any part of the symbol.
constexpr double kFarAway = 1e6;

enum class Shade { Outside, Light, Dark };

class CellReader {
public:
    CellReader(const AztecSymbol& symbol, const SymbolPlacement& placement) : symbol_(symbol), placement_(placement) {}

    Cell cellAt(double x, double y) const {
        double u = 0.0;
        double v = 0.0;
        Cell cell;
        if (!placement_.toSymbol(x, y, u, v)) {
            return cell;
        }
        cell.x = static_cast<int>(std::floor(std::clamp(u, -kFarAway, kFarAway)));
        cell.y = static_cast<int>(std::floor(std::clamp(v, -kFarAway, kFarAway)));
        cell.valid = true;
        return cell;
    }

    Shade shade(const Cell& cell) const {
        const int size = symbol_.size;
        const int quiet = placement_.quietZone();
        if (!cell.valid || cell.x < -quiet || cell.y < -quiet || cell.x >= size + quiet || cell.y >= size + quiet) {
            return Shade::Outside;
        }
        if (cell.x < 0 || cell.y < 0 || cell.x >= size || cell.y >= size) {
            return Shade::Light;
        }
        return symbol_.dark(cell.x, cell.y) ? Shade::Dark : Shade::Light;
    }

    // A pixel maps to a convex quadrilateral. When its four corners fall in one
    // 2x2 block of cells, so does all of it; if that block has one shade, the
    // pixel is uniform and its value is exact without sub-sampling.
    bool uniformShade(const Cell* corners, Shade& shade) const {
        int minX = corners[0].x;
        int maxX = corners[0].x;
        int minY = corners[0].y;
        int maxY = corners[0].y;
        for (int i = 0; i < 4; ++i) {
            if (!corners[i].valid) {
                return false;
            }
            minX = std::min(minX, corners[i].x);
            maxX = std::max(maxX, corners[i].x);
            minY = std::min(minY, corners[i].y);
            maxY = std::max(maxY, corners[i].y);
        }
        if (maxX - minX > 1 || maxY - minY > 1) {
            return false;
        }
        shade = this->shade(Cell{minX, minY, true});
        return shade == this->shade(Cell{maxX, minY, true}) && shade == this->shade(Cell{minX, maxY, true}) &&
               shade == this->shade(Cell{maxX, maxY, true});
    }

private:
    const AztecSymbol& symbol_;
    const SymbolPlacement& placement_;
};

}  // namespace

SymbolLayer rasterizeSymbol(const AztecSymbol& symbol, const SymbolPlacement& placement, int supersample, int margin,
                            int imageWidth, int imageHeight) {
    if (supersample < 1) {
        throw std::invalid_argument("render: supersample must be at least 1");
    }
    if (symbol.modules.size() != static_cast<std::size_t>(symbol.size) * symbol.size) {
        throw std::invalid_argument("render: module matrix does not match the symbol size");
    }
    SymbolLayer layer;
    // Doubles are clamped before the int conversion so a symbol far off the image stays defined.
    const double lowX = -margin;
    const double lowY = -margin;
    const double highX = static_cast<double>(imageWidth) + margin;
    const double highY = static_cast<double>(imageHeight) + margin;
    const int x0 = static_cast<int>(std::clamp(std::floor(placement.minX()) - margin, lowX, highX));
    const int y0 = static_cast<int>(std::clamp(std::floor(placement.minY()) - margin, lowY, highY));
    const int x1 = static_cast<int>(std::clamp(std::ceil(placement.maxX()) + margin, lowX, highX));
    const int y1 = static_cast<int>(std::clamp(std::ceil(placement.maxY()) + margin, lowY, highY));
    if (x1 <= x0 || y1 <= y0) {
        return layer;
    }
    layer.x0 = x0;
    layer.y0 = y0;
    layer.width = x1 - x0;
    layer.height = y1 - y0;
    const std::size_t pixels = static_cast<std::size_t>(layer.width) * layer.height;
    layer.ink.assign(pixels, 0.0f);
    layer.cover.assign(pixels, 0.0f);

    const CellReader reader(symbol, placement);
    const int gridWidth = layer.width + 1;
    std::vector<Cell> corners(static_cast<std::size_t>(gridWidth) * (layer.height + 1));
    for (int j = 0; j <= layer.height; ++j) {
        for (int i = 0; i <= layer.width; ++i) {
            corners[static_cast<std::size_t>(j) * gridWidth + i] = reader.cellAt(x0 + i, y0 + j);
        }
    }

    const double step = 1.0 / supersample;
    const float sampleWeight = static_cast<float>(1.0 / (static_cast<double>(supersample) * supersample));
    for (int j = 0; j < layer.height; ++j) {
        for (int i = 0; i < layer.width; ++i) {
            const std::size_t top = static_cast<std::size_t>(j) * gridWidth + i;
            const Cell pixelCorners[4] = {corners[top], corners[top + 1], corners[top + gridWidth],
                                          corners[top + gridWidth + 1]};
            const std::size_t index = static_cast<std::size_t>(j) * layer.width + i;
            Shade s = Shade::Outside;
            if (reader.uniformShade(pixelCorners, s)) {
                layer.cover[index] = s == Shade::Outside ? 0.0f : 1.0f;
                layer.ink[index] = s == Shade::Dark ? 1.0f : 0.0f;
                continue;
            }
            int covered = 0;
            int dark = 0;
            for (int sy = 0; sy < supersample; ++sy) {
                const double y = y0 + j + (sy + 0.5) * step;
                for (int sx = 0; sx < supersample; ++sx) {
                    const Shade s = reader.shade(reader.cellAt(x0 + i + (sx + 0.5) * step, y));
                    covered += s == Shade::Outside ? 0 : 1;
                    dark += s == Shade::Dark ? 1 : 0;
                }
            }
            layer.cover[index] = static_cast<float>(covered) * sampleWeight;
            layer.ink[index] = static_cast<float>(dark) * sampleWeight;
        }
    }
    return layer;
}

}  // namespace talavex_test::detail
