// The colour entry point, damaged symbols, repeated calls and concurrent calls.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "e2e_support.h"

namespace talavex_e2e {
namespace {

// Paints the gray image in colour: dark modules navy, light ones pale yellow,
// with a random alpha channel that the reader must ignore.
std::vector<std::uint8_t> colourise(const GrayImage& image, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bgra(image.pixels.size() * 4);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const double t = image.pixels[i] / 255.0;  // 0 dark .. 1 light
        bgra[4 * i + 0] = static_cast<std::uint8_t>(90 + t * (170 - 90));   // blue
        bgra[4 * i + 1] = static_cast<std::uint8_t>(20 + t * (245 - 20));   // green
        bgra[4 * i + 2] = static_cast<std::uint8_t>(10 + t * (250 - 10));   // red
        bgra[4 * i + 3] = static_cast<std::uint8_t>(rng());
    }
    return bgra;
}

TEST(BgraInputTest, ColouredFramesWithRandomAlphaRead) {
    for (int layers : {1, 3, 8}) {
        const std::string text = textForSize(AztecSize::Full, layers, 900 + layers);
        RenderOptions options;
        options.moduleSize = 4.0;
        options.angleDegrees = 25.0 * layers;
        options.width = 800;
        options.height = 600;
        const GrayImage image = talavex_test::renderSymbol(encode(text, AztecSize::Full, layers), options);
        EXPECT_EQ(readBGRA(colourise(image, layers), image.width, image.height), text) << layers;
        EXPECT_EQ(readBGRA(talavex_test::toBGRA(image, 77), image.width, image.height), text) << layers;
    }
}

// Flips every module of a rectangle away from the finder: a blot or a scratch.
AztecSymbol damaged(AztecSymbol symbol, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] ^= 1;
    return symbol;
}

struct DamageCase {
    const char* name;
    AztecSize size;
    int layers;
    int x0, y0, w, h;
};

class DamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamageTest, CheckWordsRepairTheDamage) {
    const DamageCase& c = GetParam();
    const std::string text = randomText(c.size == AztecSize::Compact ? 20 : 60, 3);
    const AztecSymbol clean = encode(text, c.size, c.layers, 3);
    const AztecSymbol broken = damaged(clean, c.x0, c.y0, c.w, c.h);
    ASSERT_NE(clean.modules, broken.modules);
    RenderOptions options;
    options.moduleSize = 4.0;
    options.angleDegrees = 8.0;
    EXPECT_EQ(readY(talavex_test::renderSymbol(broken, options)), text);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamageTest,
    ::testing::Values(DamageCase{"CompactCornerBlot", AztecSize::Compact, 4, 0, 0, 3, 3},
                      DamageCase{"CompactScratch", AztecSize::Compact, 4, 0, 24, 12, 1},
                      DamageCase{"FullCornerBlot", AztecSize::Full, 6, 0, 0, 4, 4},
                      DamageCase{"FullEdgeScratch", AztecSize::Full, 6, 30, 40, 10, 1},
                      DamageCase{"FullTwoLayerBlot", AztecSize::Full, 6, 36, 10, 4, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RepeatedCallTest, SameImageSameText) {
    const std::string text = "twice the same";
    RenderOptions options;
    options.moduleSize = 3.0;
    const GrayImage image = talavex_test::renderSymbol(encode(text), options);
    EXPECT_EQ(readY(image), text);
    EXPECT_EQ(readY(image), text);
    const std::vector<std::uint8_t> blank(image.pixels.size(), 255);
    EXPECT_EQ(takeResult(recognizeY(blank.data(), image.width, image.height)), "");
    EXPECT_EQ(readY(image), text);
}

TEST(ConcurrencyTest, ThreadsGiveTheSerialResults) {
    constexpr int kThreads = 8;
    std::vector<GrayImage> images;
    std::vector<std::string> texts;
    for (int i = 0; i < kThreads; ++i) {
        texts.push_back("thread " + std::to_string(i) + " " + randomText(10 + 30 * i, 40 + i));
        RenderOptions options;
        options.moduleSize = 3.0 + 0.5 * (i % 3);
        options.angleDegrees = 40.0 * i;
        options.noiseSigma = i % 2 ? 6.0 : 0.0;
        images.push_back(talavex_test::renderSymbol(encode(texts.back()), options));
    }
    std::vector<std::string> serial;
    for (const GrayImage& image : images) serial.push_back(readY(image));

    std::vector<std::string> parallel(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            parallel[i] = readY(images[i]);
            for (int round = 1; round < 3; ++round)
                if (readY(images[i]) != parallel[i]) parallel[i] = "<differs between rounds>";
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(parallel, serial);
    EXPECT_EQ(serial, texts);
}

}  // namespace
}  // namespace talavex_e2e
