#include "decode/layer_bits.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "decode/decode_test_support.h"
#include "decode/layer_table.h"

namespace {

using namespace decode_test;
using AztecCore::readLayerBits;
using AztecCore::removeReferenceGrid;

SymbolParameters layerShapeOf(SymbolKind kind, std::uint32_t layers) {
    const auto shape = AztecCore::layerShape(kind, layers);
    SymbolParameters params;
    params.kind = kind;
    params.layers = layers;
    params.dataCodewords = 1;
    params.codewordBits = shape->codewordBits;
    params.totalCodewords = shape->totalCodewords;
    params.symbolSize = shape->symbolSize;
    params.spareBits = shape->spareBits;
    return params;
}

ModuleBits blank(std::size_t size) { return ModuleBits(size, BitVector(size, false)); }

std::vector<std::size_t> setPositions(const BitVector& bits) {
    std::vector<std::size_t> positions;
    for (std::size_t k = 0; k < bits.size(); ++k) {
        if (bits[k]) positions.push_back(k);
    }
    return positions;
}

TEST(LayerTable, HasNoRowOutsideTheLayerCounts) {
    // The rows themselves are exercised by real symbols of every size.
    for (const auto& [kind, maxLayers] : {std::pair{SymbolKind::Compact, 4u}, std::pair{SymbolKind::Full, 32u}}) {
        EXPECT_TRUE(AztecCore::layerShape(kind, maxLayers).has_value());
        EXPECT_FALSE(AztecCore::layerShape(kind, 0).has_value());
        EXPECT_FALSE(AztecCore::layerShape(kind, maxLayers + 1).has_value());
    }
    EXPECT_FALSE(AztecCore::layerShape(SymbolKind::None, 1).has_value());
}

TEST(ReferenceGrid, LinesEverySixteenModulesFromTheCentreAreDropped) {
    for (const auto& [size, kept] : {std::pair{19, 18}, std::pair{53, 50}, std::pair{151, 142}}) {
        ModuleBits modules = blank(static_cast<std::size_t>(size));
        const int c = size / 2;
        for (int x = 0; x < size; ++x) {
            for (int y = 0; y < size; ++y) modules[x][y] = (c - x) % 16 == 0 || (c - y) % 16 == 0;
        }
        const ModuleBits grid = removeReferenceGrid(modules);
        ASSERT_EQ(grid.size(), static_cast<std::size_t>(kept));
        for (const auto& column : grid) {
            ASSERT_EQ(column.size(), static_cast<std::size_t>(kept));
            EXPECT_TRUE(setPositions(column).empty());
        }
    }
}

TEST(LayerBits, CompactOneLayerSkipsTheFirstTwoSpiralBits) {
    const SymbolParameters params = layerShapeOf(SymbolKind::Compact, 1);
    ModuleBits modules = blank(15);
    modules[0][1] = true;  // second pair of the left side: spiral bit 2
    EXPECT_EQ(readLayerBits(params, modules).size(), 102u);
    EXPECT_EQ(setPositions(readLayerBits(params, modules)), (std::vector<std::size_t>{2}));
    // The last pair of the spiral (top side, next to the start corner) wraps
    // onto positions 0 and 1, where the first pair was.
    modules = blank(15);
    modules[2][0] = true;
    modules[0][0] = true;
    EXPECT_EQ(setPositions(readLayerBits(params, modules)), (std::vector<std::size_t>{0}));
}

TEST(LayerBits, OrientationPutsTheRunAtTheReadingCornerFirst) {
    SymbolParameters params = layerShapeOf(SymbolKind::Compact, 2);  // no spare bits, 19 modules
    ModuleBits modules = blank(19);
    modules[18][0] = true;  // outer module where the top run starts (top-right corner)
    modules[0][18] = true;  // outer module where the bottom run starts (bottom-left corner)
    // Outer layer: 17 pairs per run, so runs start 34 bits apart.
    params.orientation = 1;
    EXPECT_EQ(setPositions(readLayerBits(params, modules)), (std::vector<std::size_t>{0, 68}));
    params.orientation = 3;
    EXPECT_EQ(setPositions(readLayerBits(params, modules)), (std::vector<std::size_t>{0, 68}));
    params.orientation = 0;
    EXPECT_EQ(setPositions(readLayerBits(params, modules)), (std::vector<std::size_t>{34, 102}));
}

TEST(LayerBits, MismatchedModuleMatrixIsOutOfRange) {
    const SymbolParameters params = layerShapeOf(SymbolKind::Compact, 2);
    EXPECT_THROW((void)readLayerBits(params, blank(15)), std::out_of_range);
    ModuleBits shortColumns(19, BitVector(10, false));
    EXPECT_THROW((void)readLayerBits(params, shortColumns), std::out_of_range);
}

}  // namespace
