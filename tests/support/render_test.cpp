#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "support/aztec_encoder.h"
#include "support/render.h"

namespace talavex_test {
namespace {

const AztecSymbol& testSymbol() {
    static const AztecSymbol symbol = encodeAztec(std::string("Render check 0123456789"));
    return symbol;
}

AztecSymbol makeSymbol(int size, const std::vector<int>& darkColumns) {
    AztecSymbol s;
    s.size = size;
    s.modules.assign(static_cast<std::size_t>(size) * size, 0);
    for (int y = 0; y < size; ++y) {
        for (int x : darkColumns) {
            s.modules[static_cast<std::size_t>(y) * size + x] = 1;
        }
    }
    return s;
}

// New symbol whose module (x, y) is taken from `source` at from(x, y).
template <typename From>
AztecSymbol remap(const AztecSymbol& source, From from) {
    AztecSymbol out = source;
    for (int y = 0; y < source.size; ++y) {
        for (int x = 0; x < source.size; ++x) {
            int sx = 0;
            int sy = 0;
            from(x, y, sx, sy);
            out.modules[static_cast<std::size_t>(y) * source.size + x] = source.dark(sx, sy) ? 1 : 0;
        }
    }
    return out;
}

int pixelAt(const GrayImage& image, const ImagePoint& p) {
    return image.at(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)));
}

TEST(Render, ModuleSizeTenReproducesTheMatrix) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = 10;
    const GrayImage image = renderSymbol(symbol, options);
    const int side = (symbol.size + 2 * options.quietZone) * 10;
    ASSERT_EQ(image.width, side);
    ASSERT_EQ(image.height, side);
    ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(side) * side);
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            ASSERT_EQ(image.at((x + 4) * 10 + 5, (y + 4) * 10 + 5), symbol.dark(x, y) ? 0 : 255) << x << "," << y;
        }
    }
    for (int i = 0; i < side; ++i) {
        EXPECT_EQ(image.at(i, 5), 255);  // quiet zone
        EXPECT_EQ(image.at(side - 5, i), 255);
    }
    // Whole-pixel modules leave no partly covered pixel.
    for (std::uint8_t p : image.pixels) {
        ASSERT_TRUE(p == 0 || p == 255);
    }
}

TEST(Render, ContrastLevelsApplyToModulesAndBackground) {
    RenderOptions options;
    options.moduleSize = 10;
    options.black = 200;  // inverted print: dark modules lighter than the paper
    options.white = 30;
    options.width = 400;
    options.height = 300;
    const AztecSymbol& symbol = testSymbol();
    const GrayImage image = renderSymbol(symbol, options);
    EXPECT_EQ(image.at(0, 0), 30);
    const ImagePoint centre = symbolToImage(symbol, options, symbol.size / 2 + 0.5, symbol.size / 2 + 0.5);
    EXPECT_EQ(pixelAt(image, centre), 200);
}

TEST(Render, FractionalModulesAreAreaSampled) {
    // Columns dark, light, dark, light of 2.5 pixels each.
    const AztecSymbol symbol = makeSymbol(4, {0, 2});
    RenderOptions options;
    options.moduleSize = 2.5;
    options.quietZone = 0;
    const GrayImage image = renderSymbol(symbol, options);
    ASSERT_EQ(image.width, 10);
    const int expected[10] = {0, 0, 128, 255, 255, 0, 0, 128, 255, 255};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(image.at(x, y), expected[x]) << x << "," << y;
        }
    }
}

class EdgeCoverage : public ::testing::TestWithParam<double> {};

// The left half is dark; shifting it by a fraction of a pixel darkens the
// pixel holding the edge in proportion to the area it covers.
TEST_P(EdgeCoverage, GrayFollowsCoveredArea) {
    const double shift = GetParam();
    const AztecSymbol symbol = makeSymbol(4, {0, 1});
    RenderOptions options;
    options.moduleSize = 2.5;
    options.quietZone = 2;
    options.offsetX = shift;
    options.supersample = 8;
    const GrayImage image = renderSymbol(symbol, options);
    ASSERT_EQ(image.width, 20);
    const int edgePixel = 10 + static_cast<int>(std::floor(shift));
    const double darkFraction = shift - std::floor(shift);
    EXPECT_NEAR(image.at(edgePixel, 10), 255.0 * (1.0 - darkFraction), 1.0);
    EXPECT_EQ(image.at(edgePixel - 1, 10), 0);
    EXPECT_EQ(image.at(edgePixel + 1, 10), 255);
}

INSTANTIATE_TEST_SUITE_P(Render, EdgeCoverage, ::testing::Values(0.25, 0.5, 0.75, 1.375, -0.625));

struct InkCase {
    double moduleSize;
    double angle;
};

void PrintTo(const InkCase& c, std::ostream* os) { *os << "module " << c.moduleSize << ", " << c.angle << " degrees"; }

class InkConservation : public ::testing::TestWithParam<InkCase> {};

// Area sampling keeps the amount of ink: summed darkness equals the dark
// modules' area, however the modules fall on the pixel grid.
TEST_P(InkConservation, DarknessEqualsDarkArea) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = GetParam().moduleSize;
    options.angleDegrees = GetParam().angle;
    options.supersample = 8;
    options.quietZone = 2;
    const GrayImage image = renderSymbol(symbol, options);
    double darkness = 0.0;
    for (std::uint8_t p : image.pixels) {
        darkness += (255.0 - p) / 255.0;
    }
    double darkModules = 0.0;
    for (std::uint8_t m : symbol.modules) {
        darkModules += m;
    }
    const double area = darkModules * options.moduleSize * options.moduleSize;
    EXPECT_NEAR(darkness / area, 1.0, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Render, InkConservation,
                         ::testing::Values(InkCase{0.37, 0}, InkCase{0.61, 27}, InkCase{1.3, 0}, InkCase{1.3, 63},
                                           InkCase{2.5, 45}, InkCase{3.7, 11}));

TEST(Render, MirrorFlipsLeftRight) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = 3.5;
    const GrayImage plain = renderSymbol(symbol, options);
    options.mirror = true;
    const GrayImage mirrored = renderSymbol(symbol, options);
    ASSERT_EQ(mirrored.width, plain.width);
    ASSERT_EQ(mirrored.height, plain.height);
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            ASSERT_EQ(mirrored.at(x, y), plain.at(plain.width - 1 - x, y)) << x << "," << y;
        }
    }
    const int n = symbol.size;
    const AztecSymbol flipped = remap(symbol, [n](int x, int y, int& sx, int& sy) {
        sx = n - 1 - x;
        sy = y;
    });
    options.mirror = false;
    EXPECT_EQ(renderSymbol(flipped, options).pixels, mirrored.pixels);
}

struct TurnCase {
    double degrees;
    int quarterTurnsClockwise;
};

void PrintTo(const TurnCase& c, std::ostream* os) { *os << c.degrees << " degrees"; }

class QuarterTurns : public ::testing::TestWithParam<TurnCase> {};

TEST_P(QuarterTurns, EqualTheTurnedMatrix) {
    const AztecSymbol& symbol = testSymbol();
    const int n = symbol.size;
    AztecSymbol turned = symbol;
    for (int i = 0; i < GetParam().quarterTurnsClockwise; ++i) {
        // Clockwise on screen: the left column becomes the top row.
        turned = remap(turned, [n](int x, int y, int& sx, int& sy) {
            sx = y;
            sy = n - 1 - x;
        });
    }
    RenderOptions options;
    options.moduleSize = 3.5;
    const GrayImage expected = renderSymbol(turned, options);
    options.angleDegrees = GetParam().degrees;
    const GrayImage rotated = renderSymbol(symbol, options);
    ASSERT_EQ(rotated.width, expected.width);
    ASSERT_EQ(rotated.height, expected.height);
    EXPECT_EQ(rotated.pixels, expected.pixels);
}

INSTANTIATE_TEST_SUITE_P(Render, QuarterTurns,
                         ::testing::Values(TurnCase{90, 1}, TurnCase{180, 2}, TurnCase{270, 3}, TurnCase{-90, 3},
                                           TurnCase{360, 0}));

TEST(Render, RotatedImageHoldsTheTurnedSquare) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = 4;
    options.angleDegrees = 45;
    const GrayImage image = renderSymbol(symbol, options);
    const int expected = static_cast<int>(std::ceil((symbol.size + 8) * 4 * std::sqrt(2.0)));
    EXPECT_EQ(image.width, expected);
    EXPECT_EQ(image.height, expected);
}

struct GeometryCase {
    const char* name;
    double moduleSize;
    double angle;
    double tiltX;
    double tiltY;
    bool mirror;
    double offsetX;
    double offsetY;
    int width;
    int height;
};

void PrintTo(const GeometryCase& g, std::ostream* os) { *os << g.name; }

class PlacedModules : public ::testing::TestWithParam<GeometryCase> {};

// symbolToImage and the renderer must agree: every module centre lands on a
// pixel of the module's own shade.
TEST_P(PlacedModules, ModuleCentresCarryTheirShade) {
    const GeometryCase& g = GetParam();
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = g.moduleSize;
    options.angleDegrees = g.angle;
    options.tiltX = g.tiltX;
    options.tiltY = g.tiltY;
    options.mirror = g.mirror;
    options.offsetX = g.offsetX;
    options.offsetY = g.offsetY;
    options.width = g.width;
    options.height = g.height;
    const GrayImage image = renderSymbol(symbol, options);
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            const ImagePoint p = symbolToImage(symbol, options, x + 0.5, y + 0.5);
            ASSERT_GE(p.x, 0);
            ASSERT_GE(p.y, 0);
            ASSERT_LT(p.x, image.width);
            ASSERT_LT(p.y, image.height);
            ASSERT_EQ(pixelAt(image, p), symbol.dark(x, y) ? 0 : 255) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Render, PlacedModules,
    ::testing::Values(GeometryCase{"Plain", 7, 0, 0, 0, false, 0, 0, 0, 0},
                      GeometryCase{"Turned", 7, 33, 0, 0, false, 0, 0, 0, 0},
                      GeometryCase{"TurnedMirrored", 7, -71, 0, 0, true, 0, 0, 0, 0},
                      GeometryCase{"Tilted", 8, 0, 0.25, -0.15, false, 0, 0, 0, 0},
                      GeometryCase{"Everything", 8, 200, -0.2, 0.2, true, 0, 0, 0, 0},
                      GeometryCase{"OffsetInFrame", 6, 12, 0.1, 0.1, false, -150.5, 60.25, 640, 480}),
    [](const ::testing::TestParamInfo<GeometryCase>& info) { return std::string(info.param.name); });

double distance(const ImagePoint& a, const ImagePoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

TEST(Render, TiltShortensOneSide) {
    const AztecSymbol& symbol = testSymbol();
    const double n = symbol.size;
    RenderOptions options;
    options.moduleSize = 5;
    options.tiltX = 0.2;
    auto side = [&](double u0, double v0, double u1, double v1) {
        return distance(symbolToImage(symbol, options, u0, v0), symbolToImage(symbol, options, u1, v1));
    };
    EXPECT_NEAR(side(n, 0, n, n) / side(0, 0, 0, n), 0.8, 1e-9);  // right side shorter
    options.tiltX = 0;
    options.tiltY = -0.3;
    EXPECT_NEAR(side(0, 0, n, 0) / side(0, n, n, n), 0.7, 1e-9);  // top side shorter
    options.tiltY = 0;
    EXPECT_NEAR(side(0, 0, n, 0) / side(0, n, n, n), 1.0, 1e-12);
}

TEST(Render, CentreFollowsOffset) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.width = 300;
    options.height = 200;
    options.offsetX = 12.5;
    options.offsetY = -7;
    options.angleDegrees = 40;
    options.tiltX = 0.1;
    const ImagePoint c = symbolToImage(symbol, options, symbol.size / 2.0, symbol.size / 2.0);
    EXPECT_NEAR(c.x, 162.5, 1e-9);
    EXPECT_NEAR(c.y, 93.0, 1e-9);
    const ImagePoint at = symbolToImageAt(symbol, options, 40, 50, symbol.size / 2.0, symbol.size / 2.0);
    EXPECT_NEAR(at.x, 40.0, 1e-9);
    EXPECT_NEAR(at.y, 50.0, 1e-9);
}

TEST(Render, LargeFrameChangesOnlyPixelsNearTheSymbol) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.width = 1920;
    options.height = 1080;
    options.moduleSize = 3.3;
    options.angleDegrees = 17;
    options.tiltX = 0.1;
    options.quietZone = 0;
    const GrayImage image = renderSymbol(symbol, options);
    ASSERT_EQ(image.pixels.size(), 1920U * 1080U);
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (double u : {0.0, static_cast<double>(symbol.size)}) {
        for (double v : {0.0, static_cast<double>(symbol.size)}) {
            const ImagePoint p = symbolToImage(symbol, options, u, v);
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    }
    int dark = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.at(x, y) != 255) {
                ++dark;
                ASSERT_TRUE(x + 1 > minX && x < maxX && y + 1 > minY && y < maxY) << x << "," << y;
            }
        }
    }
    EXPECT_GT(dark, 100);
}

TEST(Render, BlurIsDeterministicAndSoftensOnlyEdges) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = 10;
    const GrayImage sharp = renderSymbol(symbol, options);
    options.blurSigma = 1.0;
    const GrayImage blurred = renderSymbol(symbol, options);
    EXPECT_EQ(renderSymbol(symbol, options).pixels, blurred.pixels);
    EXPECT_NE(blurred.pixels, sharp.pixels);
    int intermediate = 0;
    for (std::uint8_t p : blurred.pixels) {
        intermediate += p > 10 && p < 245 ? 1 : 0;
    }
    EXPECT_GT(intermediate, symbol.size * 10);
    // Three sigma inside a 10-pixel module the blur sees only that module.
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            ASSERT_EQ(blurred.at((x + 4) * 10 + 5, (y + 4) * 10 + 5), symbol.dark(x, y) ? 0 : 255);
        }
    }
}

TEST(Render, NoiseIsDeterministicBySeed) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = 4;
    options.black = 60;
    options.white = 190;  // leaves room so clamping does not bend the statistics
    const GrayImage clean = renderSymbol(symbol, options);
    options.noiseSigma = 6;
    options.seed = 7;
    const GrayImage first = renderSymbol(symbol, options);
    EXPECT_EQ(renderSymbol(symbol, options).pixels, first.pixels);
    options.seed = 8;
    EXPECT_NE(renderSymbol(symbol, options).pixels, first.pixels);

    double sum = 0;
    double sumSq = 0;
    for (std::size_t i = 0; i < clean.pixels.size(); ++i) {
        const double d = static_cast<double>(first.pixels[i]) - clean.pixels[i];
        sum += d;
        sumSq += d * d;
    }
    const double count = static_cast<double>(clean.pixels.size());
    EXPECT_NEAR(sum / count, 0.0, 0.5);
    EXPECT_NEAR(std::sqrt(sumSq / count), 6.0, 0.4);
}

TEST(Render, DrawSymbolCompositesOverTheImage) {
    const AztecSymbol& symbol = testSymbol();
    GrayImage image;
    image.width = 320;
    image.height = 240;
    image.pixels.assign(320U * 240U, 90);
    RenderOptions options;
    options.moduleSize = 5;
    options.quietZone = 2;
    options.angleDegrees = 10;
    drawSymbol(image, symbol, 150.5, 110.25, options);
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            const ImagePoint p = symbolToImageAt(symbol, options, 150.5, 110.25, x + 0.5, y + 0.5);
            ASSERT_EQ(pixelAt(image, p), symbol.dark(x, y) ? 0 : 255);
        }
    }
    const ImagePoint quiet = symbolToImageAt(symbol, options, 150.5, 110.25, -1.0, symbol.size / 2.0);
    EXPECT_EQ(pixelAt(image, quiet), 255);
    const ImagePoint beyond = symbolToImageAt(symbol, options, 150.5, 110.25, -3.0, symbol.size / 2.0);
    EXPECT_EQ(pixelAt(image, beyond), 90);
    EXPECT_EQ(image.at(0, 0), 90);
    EXPECT_EQ(image.at(319, 239), 90);
}

TEST(Render, DrawSymbolOnWhiteMatchesRenderSymbol) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = 2.7;
    options.angleDegrees = 21;
    options.tiltY = 0.12;
    options.blurSigma = 0.8;
    options.width = 200;
    options.height = 150;
    const GrayImage rendered = renderSymbol(symbol, options);
    GrayImage drawn;
    drawn.width = 200;
    drawn.height = 150;
    drawn.pixels.assign(200U * 150U, 255);
    drawSymbol(drawn, symbol, 100, 75, options);
    EXPECT_EQ(drawn.pixels, rendered.pixels);
}

// A symbol cut by the image border must look exactly like the same part of an
// uncut rendering, blur included.
TEST(Render, SymbolCutByTheImageEdgeMatchesTheUncutRendering) {
    const AztecSymbol& symbol = testSymbol();
    RenderOptions options;
    options.moduleSize = 6;
    options.angleDegrees = 8;
    options.blurSigma = 1.5;
    options.height = 100;
    options.offsetX = 80;
    options.width = 300;
    const GrayImage whole = renderSymbol(symbol, options);
    options.width = 100;
    const GrayImage cut = renderSymbol(symbol, options);
    int symbolPixels = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            ASSERT_EQ(cut.at(x, y), whole.at(x + 100, y)) << x << "," << y;
            symbolPixels += cut.at(x, y) < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(symbolPixels, 100);
}

TEST(Render, InvalidOptionsThrow) {
    const AztecSymbol& symbol = testSymbol();
    auto renderWith = [&](auto change) {
        RenderOptions options;
        change(options);
        return renderSymbol(symbol, options);
    };
    EXPECT_THROW(renderWith([](RenderOptions& o) { o.moduleSize = 0; }), std::invalid_argument);
    EXPECT_THROW(renderWith([](RenderOptions& o) { o.tiltX = 1.0; }), std::invalid_argument);
    EXPECT_THROW(renderWith([](RenderOptions& o) { o.tiltY = -0.99; }), std::invalid_argument);
    EXPECT_THROW(renderWith([](RenderOptions& o) { o.supersample = 0; }), std::invalid_argument);
    EXPECT_THROW(renderWith([](RenderOptions& o) { o.quietZone = -1; }), std::invalid_argument);
    EXPECT_THROW(renderWith([](RenderOptions& o) { o.white = 256; }), std::invalid_argument);
    EXPECT_THROW(renderSymbol(AztecSymbol{}), std::invalid_argument);
}

}  // namespace
}  // namespace talavex_test
