// Still photos through recognizePhotoBGRA: a real symbol anywhere in a
// cluttered, unevenly lit 1280 x 960 (up to 4032 x 3024) photo, one
// distortion class per suite, and photos that must not yield a symbol.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "e2e_support.h"
#include "support/photo_scene.h"

namespace talavex_e2e {
namespace {

using talavex_test::clutteredPhoto;
using talavex_test::composePhoto;
using talavex_test::PhotoScene;
using talavex_test::symbolFits;

constexpr int kWidth = 1280;
constexpr int kHeight = 960;

struct PhotoCase {
    const char* name;
    double atX = 0.5;  // symbol centre as a fraction of the photo's width and height
    double atY = 0.5;
    void (*tweak)(PhotoScene&) = nullptr;
    AztecSize size = AztecSize::Auto;
    int layers = 0;  // > 0: the symbol has exactly this many layers, half full of data
    bool binary = false;
};

void PrintTo(const PhotoCase& c, std::ostream* os) { *os << c.name; }

// Defaults for every case: a 3-pixel module, slightly soft and noisy, at an
// angle no quarter turn would give.
PhotoScene sceneFor(const PhotoCase& c, std::uint32_t seed) {
    PhotoScene scene;
    scene.width = kWidth;
    scene.height = kHeight;
    scene.backgroundSeed = seed;
    scene.render.moduleSize = 3.0;
    scene.render.angleDegrees = 12.0;
    scene.render.blurSigma = 0.5;
    scene.render.noiseSigma = 2.0;
    scene.render.seed = seed;
    if (c.tweak) c.tweak(scene);
    scene.centreX = c.atX * scene.width;
    scene.centreY = c.atY * scene.height;
    return scene;
}

std::uint32_t seedOf(const std::string& name) {
    std::uint32_t seed = 2166136261u;
    for (const char ch : name) seed = (seed ^ static_cast<unsigned char>(ch)) * 16777619u;
    return seed;
}

class PhotoRead : public ::testing::TestWithParam<PhotoCase> {};

TEST_P(PhotoRead, ReturnsExactlyTheEncodedBytes) {
    const PhotoCase& c = GetParam();
    const std::uint32_t seed = seedOf(c.name);
    const std::string text = c.layers > 0 ? textForSize(c.size, c.layers, seed) : randomText(48, seed, c.binary);
    const AztecSymbol symbol = encode(text, c.size, c.layers);
    const PhotoScene scene = sceneFor(c, seed);
    ASSERT_TRUE(symbolFits(symbol, scene.render, scene.centreX, scene.centreY, scene.width, scene.height))
        << "the case puts part of the symbol outside the photo";
    const GrayImage photo = composePhoto(&symbol, scene);
    EXPECT_EQ(readPhoto(talavex_test::toBGRA(photo, seed), photo.width, photo.height), text);
}

std::string caseName(const ::testing::TestParamInfo<PhotoCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(OffCentre, PhotoRead,
                         ::testing::Values(PhotoCase{"TopLeft", 0.09, 0.12}, PhotoCase{"TopRight", 0.91, 0.1},
                                           PhotoCase{"BottomLeft", 0.1, 0.88}, PhotoCase{"BottomRight", 0.93, 0.9},
                                           PhotoCase{"TopEdge", 0.55, 0.09}, PhotoCase{"LeftEdge", 0.06, 0.45},
                                           PhotoCase{"RightOfCentre", 0.7, 0.55}),
                         caseName);

// The finest modules read in place or from the enlarged crops around the
// bull's-eye; a slight blur (camera optics) is what the finest ones allow.
INSTANTIATE_TEST_SUITE_P(
    SmallModules, PhotoRead,
    ::testing::Values(PhotoCase{"Module2", 0.3, 0.6, [](PhotoScene& s) { s.render.moduleSize = 2.0; }},
                      PhotoCase{"Module2Turned", 0.8, 0.3,
                                [](PhotoScene& s) {
                                    s.render.moduleSize = 2.0;
                                    s.render.angleDegrees = 141.0;
                                }},
                      PhotoCase{"Module2Corner", 0.06, 0.9, [](PhotoScene& s) { s.render.moduleSize = 2.0; }},
                      PhotoCase{"Module1_75", 0.6, 0.4,
                                [](PhotoScene& s) {
                                    s.render.moduleSize = 1.75;
                                    s.render.blurSigma = 0.4;
                                }},
                      PhotoCase{"Module1_5", 0.25, 0.3,
                                [](PhotoScene& s) {
                                    s.render.moduleSize = 1.5;
                                    s.render.blurSigma = 0.3;
                                }},
                      PhotoCase{"Module1_5Turned", 0.65, 0.75,
                                [](PhotoScene& s) {
                                    s.render.moduleSize = 1.5;
                                    s.render.blurSigma = 0.3;
                                    s.render.angleDegrees = 250.0;
                                }}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Rotation, PhotoRead,
    ::testing::Values(PhotoCase{"Deg33", 0.4, 0.3, [](PhotoScene& s) { s.render.angleDegrees = 33.0; }},
                      PhotoCase{"Deg45", 0.7, 0.6, [](PhotoScene& s) { s.render.angleDegrees = 45.0; }},
                      PhotoCase{"Deg90", 0.2, 0.7, [](PhotoScene& s) { s.render.angleDegrees = 90.0; }},
                      PhotoCase{"Deg158", 0.55, 0.25, [](PhotoScene& s) { s.render.angleDegrees = 158.0; }},
                      PhotoCase{"Deg226", 0.35, 0.8, [](PhotoScene& s) { s.render.angleDegrees = 226.0; }},
                      PhotoCase{"Deg301Mirrored", 0.8, 0.2,
                                [](PhotoScene& s) {
                                    s.render.angleDegrees = 301.0;
                                    s.render.mirror = true;
                                }}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Perspective, PhotoRead,
                         ::testing::Values(PhotoCase{"TiltX", 0.3, 0.4, [](PhotoScene& s) { s.render.tiltX = 0.3; }},
                                           PhotoCase{"TiltYNegative", 0.7, 0.3,
                                                     [](PhotoScene& s) { s.render.tiltY = -0.3; }},
                                           PhotoCase{"TiltBoth", 0.6, 0.7,
                                                     [](PhotoScene& s) {
                                                         s.render.tiltX = -0.25;
                                                         s.render.tiltY = 0.2;
                                                         s.render.angleDegrees = 70.0;
                                                     }},
                                           PhotoCase{"TiltStrong", 0.4, 0.6,
                                                     [](PhotoScene& s) {
                                                         s.render.tiltX = 0.4;
                                                         s.render.tiltY = 0.4;
                                                         s.render.moduleSize = 4.0;
                                                     }},
                                           PhotoCase{"TiltSmallModules", 0.2, 0.2,
                                                     [](PhotoScene& s) {
                                                         s.render.tiltY = 0.25;
                                                         s.render.moduleSize = 2.5;
                                                     }}),
                         caseName);

// Blur up to about 0.4 module widths; beyond that the bull's-eye rings merge.
INSTANTIATE_TEST_SUITE_P(Blur, PhotoRead,
                         ::testing::Values(PhotoCase{"Sigma1At3", 0.3, 0.3,
                                                     [](PhotoScene& s) { s.render.blurSigma = 1.0; }},
                                           PhotoCase{"Sigma1_5At4", 0.7, 0.5,
                                                     [](PhotoScene& s) {
                                                         s.render.blurSigma = 1.5;
                                                         s.render.moduleSize = 4.0;
                                                     }},
                                           PhotoCase{"Sigma2At5", 0.45, 0.75,
                                                     [](PhotoScene& s) {
                                                         s.render.blurSigma = 2.0;
                                                         s.render.moduleSize = 5.0;
                                                     }}),
                         caseName);

// Sensor noise over the whole photo, clutter included.
INSTANTIATE_TEST_SUITE_P(
    Noise, PhotoRead,
    ::testing::Values(PhotoCase{"Sigma12", 0.35, 0.65, [](PhotoScene& s) { s.sensorNoise = 12.0; }},
                      PhotoCase{"Sigma25", 0.75, 0.35, [](PhotoScene& s) { s.sensorNoise = 25.0; }},
                      PhotoCase{"Sigma35", 0.5, 0.2, [](PhotoScene& s) { s.sensorNoise = 35.0; }},
                      PhotoCase{"Sigma20At2_5", 0.15, 0.5,
                                [](PhotoScene& s) {
                                    s.sensorNoise = 20.0;
                                    s.render.moduleSize = 2.5;
                                }}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Jpeg, PhotoRead,
                         ::testing::Values(PhotoCase{"Quality75", 0.6, 0.6, [](PhotoScene& s) { s.jpegQuality = 75; }},
                                           PhotoCase{"Quality40", 0.25, 0.4, [](PhotoScene& s) { s.jpegQuality = 40; }},
                                           PhotoCase{"Quality15", 0.8, 0.75, [](PhotoScene& s) { s.jpegQuality = 15; }},
                                           PhotoCase{"Quality30At2", 0.45, 0.3,
                                                     [](PhotoScene& s) {
                                                         s.jpegQuality = 30;
                                                         s.render.moduleSize = 2.0;
                                                     }}),
                         caseName);

INSTANTIATE_TEST_SUITE_P(
    UnevenLighting, PhotoRead,
    ::testing::Values(PhotoCase{"FallOffTo40Percent", 0.3, 0.7, [](PhotoScene& s) { s.darkest = 0.4; }},
                      PhotoCase{"FallOffTo20Percent", 0.75, 0.25, [](PhotoScene& s) { s.darkest = 0.2; }},
                      PhotoCase{"ShadowEdgeAcrossSymbol", 0.5, 0.5,
                                [](PhotoScene& s) {
                                    s.darkest = 0.6;
                                    s.shadowDepth = 0.75;
                                    s.shadowAngle = 30.0;
                                    s.shadowOffset = 25.0;
                                }},
                      PhotoCase{"DimSmallModules", 0.2, 0.35,
                                [](PhotoScene& s) {
                                    s.darkest = 0.3;
                                    s.render.moduleSize = 2.0;
                                }}),
    caseName);

// Every compact size and full-range symbols up to the largest, half full.
INSTANTIATE_TEST_SUITE_P(
    SymbolShapes, PhotoRead,
    ::testing::Values(
        PhotoCase{"Compact1", 0.25, 0.6, nullptr, AztecSize::Compact, 1},
        PhotoCase{"Compact2", 0.7, 0.3, nullptr, AztecSize::Compact, 2},
        PhotoCase{"Compact3", 0.3, 0.7, nullptr, AztecSize::Compact, 3},
        PhotoCase{"Compact4", 0.7, 0.7, nullptr, AztecSize::Compact, 4},
        PhotoCase{"Full1", 0.2, 0.5, nullptr, AztecSize::Full, 1},
        PhotoCase{"Full5", 0.8, 0.5, nullptr, AztecSize::Full, 5},
        PhotoCase{"Full12", 0.35, 0.45, [](PhotoScene& s) { s.render.moduleSize = 2.5; }, AztecSize::Full, 12},
        PhotoCase{"Full22", 0.6, 0.5, [](PhotoScene& s) { s.render.moduleSize = 2.5; }, AztecSize::Full, 22},
        PhotoCase{"Full32", 0.5, 0.5, [](PhotoScene& s) { s.render.moduleSize = 2.5; }, AztecSize::Full, 32},
        PhotoCase{"BinaryData", 0.4, 0.6, nullptr, AztecSize::Auto, 0, true}),
    caseName);

TEST(LargePhoto, CameraResolution4032x3024Reads) {
    // A 12-megapixel phone photo: large modules, soft optics, JPEG storage.
    PhotoCase c{"Camera4032x3024", 0.62, 0.42, [](PhotoScene& s) {
                    s.width = 4032;
                    s.height = 3024;
                    s.render.moduleSize = 9.0;
                    s.render.blurSigma = 1.2;
                    s.jpegQuality = 85;
                }};
    const std::string text = randomText(120, 77);
    const AztecSymbol symbol = encode(text);
    const PhotoScene scene = sceneFor(c, 77);
    ASSERT_TRUE(symbolFits(symbol, scene.render, scene.centreX, scene.centreY, scene.width, scene.height));
    const GrayImage photo = composePhoto(&symbol, scene);
    EXPECT_EQ(readPhoto(talavex_test::toBGRA(photo), photo.width, photo.height), text);
}

// Photos without a symbol: the pass must come back empty-handed, not with
// something read from the clutter.
struct EmptyPhoto {
    const char* name;
    GrayImage (*make)();
};

void PrintTo(const EmptyPhoto& c, std::ostream* os) { *os << c.name; }

class PhotoWithoutSymbol : public ::testing::TestWithParam<EmptyPhoto> {};

TEST_P(PhotoWithoutSymbol, ReturnsEmpty) {
    const GrayImage photo = GetParam().make();
    EXPECT_EQ(readPhoto(talavex_test::toBGRA(photo), photo.width, photo.height), "");
}

INSTANTIATE_TEST_SUITE_P(
    Photos, PhotoWithoutSymbol,
    ::testing::Values(EmptyPhoto{"Clutter", [] { return clutteredPhoto(kWidth, kHeight, 5); }},
                      EmptyPhoto{"DenseClutter", [] { return clutteredPhoto(kWidth, kHeight, 6, 3.0); }},
                      EmptyPhoto{"ClutterShadedNoisyJpeg",
                                 [] {
                                     PhotoScene scene;
                                     scene.backgroundSeed = 7;
                                     scene.darkest = 0.3;
                                     scene.sensorNoise = 15.0;
                                     scene.jpegQuality = 30;
                                     return composePhoto(nullptr, scene);
                                 }},
                      EmptyPhoto{"PortraitClutter", [] { return clutteredPhoto(1500, 2000, 8); }},
                      EmptyPhoto{"Uniform", [] { return talavex_test::blankImage(kWidth, kHeight, 128); }},
                      EmptyPhoto{"Noise",
                                 [] {
                                     GrayImage photo = talavex_test::blankImage(kWidth, kHeight, 128);
                                     talavex_test::addNoise(photo, 60.0, 9);
                                     return photo;
                                 }},
                      EmptyPhoto{"SmallestPhoto", [] { return clutteredPhoto(64, 64, 10); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PhotoInput, PhotosBelowSixtyFourPixelsAreErrors) {
    const struct {
        int width;
        int height;
    } sizes[] = {{63, 63}, {63, 960}, {1280, 63}, {1, 1}, {10, 200}};
    for (const auto& size : sizes) {
        const GrayImage photo = clutteredPhoto(size.width, size.height, 3);
        EXPECT_EQ(readPhoto(talavex_test::toBGRA(photo), size.width, size.height), "error")
            << size.width << " x " << size.height;
    }
}

TEST(PhotoInput, SymbolFillingASmallPhotoReads) {
    // The smallest legal photo still holds a readable compact symbol.
    const std::string text = "64x64";
    const AztecSymbol symbol = encode(text, AztecSize::Compact);
    RenderOptions render;
    render.moduleSize = 2.5;
    render.quietZone = 2;
    GrayImage photo = talavex_test::blankImage(64, 64, 200);
    talavex_test::drawSymbol(photo, symbol, 32.0, 32.0, render);
    EXPECT_EQ(readPhoto(talavex_test::toBGRA(photo), 64, 64), text);
}

}  // namespace
}  // namespace talavex_e2e
