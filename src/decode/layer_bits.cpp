#include "decode/layer_bits.h"

#include <cstdint>

#include "common/bit_access.h"

namespace AztecCore {

namespace {

bool isGridLine(std::int64_t index, std::int64_t centre) { return (centre - index) % 16 == 0; }

ModuleBits mirrorColumns(const ModuleBits& modules) { return ModuleBits(modules.rbegin(), modules.rend()); }

class ModuleGrid {
public:
    explicit ModuleGrid(const ModuleBits& modules) : modules_(modules) {}
    bool at(std::int64_t x, std::int64_t y) const { return bitAt(checkedAt(modules_, x), y); }
    std::int64_t size() const { return static_cast<std::int64_t>(modules_.size()); }

private:
    const ModuleBits& modules_;
};

}  // namespace

ModuleBits removeReferenceGrid(const ModuleBits& modules) {
    const auto size = static_cast<std::int64_t>(modules.size());
    const std::int64_t centre = size / 2;
    ModuleBits kept;
    for (std::int64_t x = 0; x < size; ++x) {
        if (isGridLine(x, centre)) continue;
        const BitVector& column = checkedAt(modules, x);
        BitVector keptColumn;
        for (std::int64_t y = 0; y < size; ++y) {
            if (!isGridLine(y, centre)) keptColumn.push_back(bitAt(column, y));
        }
        kept.push_back(std::move(keptColumn));
    }
    return kept;
}

namespace {

// Reads the spiral from an n x n grid through at(x, y). Every module it
// touches lies within the grid: a layer with a positive side length stays
// between its own ring's indices 2k and n - 1 - 2k.
template <class Grid>
BitVector readSpiral(const SymbolParameters& params, const Grid& grid, std::int64_t n) {
    const std::int64_t total = std::int64_t{params.codewordBits} * params.totalCodewords;
    BitVector layerBits(static_cast<std::size_t>(total), false);
    if (total == 0) return layerBits;

    std::int64_t base = 0;
    for (std::int64_t k = 0; k < params.layers; ++k) {
        const std::int64_t o = 2 * k;
        const std::int64_t length = n - 4 * k - 2;
        const std::int64_t far = n - 1 - o;
        // Four runs of module pairs around the ring, outer module first:
        // left side down, bottom side right, right side up, top side left.
        for (std::int64_t run = 0; run < 4; ++run) {
            const std::int64_t start = base + ((run + params.orientation) % 4) * 2 * length;
            // Position (start + 2 t) % total, stepped without a division.
            std::int64_t position = length > 0 ? start % total : 0;
            for (std::int64_t t = 0; t < length; ++t) {
                bool outer = false;
                bool inner = false;
                switch (run) {
                    case 0:
                        outer = grid.at(o, o + t);
                        inner = grid.at(o + 1, o + t);
                        break;
                    case 1:
                        outer = grid.at(o + t, far);
                        inner = grid.at(o + t, far - 1);
                        break;
                    case 2:
                        outer = grid.at(far, far - t);
                        inner = grid.at(far - 1, far - t);
                        break;
                    default:
                        outer = grid.at(far - t, o);
                        inner = grid.at(far - t, o + 1);
                        break;
                }
                setBitAt(layerBits, position, outer);
                setBitAt(layerBits, position + 1 == total ? 0 : position + 1, inner);
                position += 2;
                while (position >= total) position -= total;
            }
        }
        base += 8 * length;
    }
    return layerBits;
}

// The kept modules of a square matrix, one byte each, column by column: the
// mirror undone and the reference-grid lines dropped in one copy.
class FlatModules {
public:
    FlatModules(const ModuleBits& modules, bool mirrored, bool dropGrid) {
        const auto size = static_cast<std::int64_t>(modules.size());
        const std::int64_t centre = size / 2;
        std::vector<std::size_t> kept;
        for (std::int64_t i = 0; i < size; ++i)
            if (!dropGrid || !isGridLine(i, centre)) kept.push_back(static_cast<std::size_t>(i));
        side_ = static_cast<std::int64_t>(kept.size());
        cells_.resize(kept.size() * kept.size());
        std::size_t next = 0;
        for (const std::size_t x : kept) {
            const BitVector& column = modules[mirrored ? modules.size() - 1 - x : x];
            for (const std::size_t y : kept) cells_[next++] = column[y] ? 1 : 0;
        }
    }
    bool at(std::int64_t x, std::int64_t y) const { return cells_[static_cast<std::size_t>(x * side_ + y)] != 0; }
    std::int64_t side() const { return side_; }

private:
    std::int64_t side_ = 0;
    std::vector<std::uint8_t> cells_;
};

bool isSquare(const ModuleBits& modules) {
    for (const BitVector& column : modules)
        if (column.size() != modules.size()) return false;
    return true;
}

}  // namespace

BitVector readLayerBits(const SymbolParameters& params, const ModuleBits& modules) {
    if (modules.size() != params.symbolSize) throwInvalidSubscript();
    const bool dropGrid = params.kind == SymbolKind::Full;
    if (isSquare(modules)) {
        const FlatModules flat(modules, params.mirrored == 1, dropGrid);
        return readSpiral(params, flat, flat.side());
    }
    // Ragged columns: the checked reads fail, or not, where they always did.
    ModuleBits working = params.mirrored == 1 ? mirrorColumns(modules) : modules;
    if (dropGrid) working = removeReferenceGrid(working);
    const ModuleGrid grid(working);
    return readSpiral(params, grid, grid.size());
}

}  // namespace AztecCore
