// Camera-like distortions of the frame: scale, rotation, perspective, blur,
// noise, contrast, offsets and frame sizes.
#include <gtest/gtest.h>

#include <cmath>

#include "e2e_support.h"

namespace talavex_e2e {
namespace {

struct DistortionCase {
    const char* name;
    RenderOptions options;
};

RenderOptions with(void (*tweak)(RenderOptions&)) {
    RenderOptions options;
    options.moduleSize = 4.0;
    options.width = 640;
    options.height = 480;
    tweak(options);
    return options;
}

class DistortionTest : public ::testing::TestWithParam<DistortionCase> {};

TEST_P(DistortionTest, CompactAndFullRangeSymbolsRead) {
    const struct {
        AztecSize size;
        int layers;
    } shapes[] = {{AztecSize::Compact, 2}, {AztecSize::Compact, 4}, {AztecSize::Full, 3}, {AztecSize::Full, 6}};
    for (const auto& shape : shapes) {
        const std::string text = textForSize(shape.size, shape.layers, 31 + shape.layers);
        const AztecSymbol symbol = encode(text, shape.size, shape.layers);
        EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, GetParam().options)), text)
            << (shape.size == AztecSize::Compact ? "compact " : "full ") << shape.layers;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Classes, DistortionTest,
    ::testing::Values(DistortionCase{"ModuleSize2_5", with([](RenderOptions& o) { o.moduleSize = 2.5; })},
                      DistortionCase{"ModuleSize3_3", with([](RenderOptions& o) { o.moduleSize = 3.3; })},
                      DistortionCase{"ModuleSize5_7", with([](RenderOptions& o) { o.moduleSize = 5.7; })},
                      DistortionCase{"ModuleSize8", with([](RenderOptions& o) { o.moduleSize = 8.0; })},
                      DistortionCase{"Rotated33", with([](RenderOptions& o) { o.angleDegrees = 33.0; })},
                      DistortionCase{"Rotated137", with([](RenderOptions& o) { o.angleDegrees = 137.0; })},
                      DistortionCase{"Rotated301Mirrored", with([](RenderOptions& o) {
                                         o.angleDegrees = 301.0;
                                         o.mirror = true;
                                     })},
                      DistortionCase{"TiltX", with([](RenderOptions& o) { o.tiltX = 0.1; })},
                      DistortionCase{"TiltXY", with([](RenderOptions& o) {
                                         o.tiltX = -0.1;
                                         o.tiltY = 0.12;
                                         o.angleDegrees = 20;
                                     })},
                      DistortionCase{"Blur1", with([](RenderOptions& o) { o.blurSigma = 1.0; })},
                      DistortionCase{"Blur1_5", with([](RenderOptions& o) {
                                         o.blurSigma = 1.5;
                                         o.moduleSize = 5.0;
                                     })},
                      DistortionCase{"Noise12", with([](RenderOptions& o) { o.noiseSigma = 12.0; })},
                      DistortionCase{"Noise25", with([](RenderOptions& o) {
                                         o.noiseSigma = 25.0;
                                         o.moduleSize = 5.0;
                                     })},
                      DistortionCase{"LowContrast", with([](RenderOptions& o) {
                                         o.black = 100;
                                         o.white = 150;
                                     })},
                      DistortionCase{"DarkAndFlat", with([](RenderOptions& o) {
                                         o.black = 10;
                                         o.white = 60;
                                         o.noiseSigma = 3;
                                     })},
                      DistortionCase{"OffCentre", with([](RenderOptions& o) {
                                         o.offsetX = 24;
                                         o.offsetY = -24;
                                     })},
                      DistortionCase{"OffCentreLeft", with([](RenderOptions& o) {
                                         o.offsetX = -23;
                                         o.offsetY = 17;
                                     })},
                      DistortionCase{"HD", with([](RenderOptions& o) {
                                         o.width = 1920;
                                         o.height = 1080;
                                         o.moduleSize = 6;
                                     })},
                      DistortionCase{"HDSmall", with([](RenderOptions& o) {
                                         o.width = 1280;
                                         o.height = 720;
                                         o.moduleSize = 3;
                                     })},
                      DistortionCase{"Combined", with([](RenderOptions& o) {
                                         o.angleDegrees = 71;
                                         o.tiltY = 0.08;
                                         o.blurSigma = 0.8;
                                         o.noiseSigma = 8;
                                         o.black = 40;
                                         o.white = 200;
                                         o.offsetX = 12;
                                     })}),
    [](const auto& info) { return std::string(info.param.name); });

class ArbitraryAngleTest : public ::testing::TestWithParam<int> {};

TEST_P(ArbitraryAngleTest, ReadsAtEveryAngle) {
    const std::string text = "Aztec at an angle " + std::to_string(GetParam());
    const AztecSymbol symbol = encode(text, AztecSize::Full, 2);
    RenderOptions options;
    options.moduleSize = 3.5;
    options.angleDegrees = GetParam() + 0.37;
    EXPECT_EQ(readY(talavex_test::renderSymbol(symbol, options)), text);
}

INSTANTIATE_TEST_SUITE_P(EveryFifteenDegrees, ArbitraryAngleTest, ::testing::Range(0, 360, 15));

}  // namespace
}  // namespace talavex_e2e
