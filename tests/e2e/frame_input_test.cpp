// The colour entry point, damaged symbols, repeated calls and concurrent calls
// of all three entry points.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "e2e_support.h"
#include "support/photo_scene.h"

namespace talavex_e2e {
namespace {

// Paints the gray image in colour: dark modules navy, light ones pale yellow,
// with a random alpha channel that the reader must ignore.
std::vector<std::uint8_t> colourise(const GrayImage& image, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bgra(image.pixels.size() * 4);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const double t = image.pixels[i] / 255.0;                          // 0 dark .. 1 light
        bgra[4 * i + 0] = static_cast<std::uint8_t>(90 + t * (170 - 90));  // blue
        bgra[4 * i + 1] = static_cast<std::uint8_t>(20 + t * (245 - 20));  // green
        bgra[4 * i + 2] = static_cast<std::uint8_t>(10 + t * (250 - 10));  // red
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

INSTANTIATE_TEST_SUITE_P(Damage, DamageTest,
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

// One call of one export on one image.
struct Call {
    std::string (*read)(const Call&);
    GrayImage gray;                  // recognizeY
    std::vector<std::uint8_t> bgra;  // recognizeBGRA, recognizePhotoBGRA
    std::string text;                // what the call must return
};

std::string readCallY(const Call& c) { return readY(c.gray); }
std::string readCallBGRA(const Call& c) { return readBGRA(c.bgra, c.gray.width, c.gray.height); }
std::string readCallPhoto(const Call& c) { return readPhoto(c.bgra, c.gray.width, c.gray.height); }

// Frames for both frame exports, and 640 x 480 photos of a symbol at 1.5 to
// 1.6 pixels per module: too fine to read in place, so the photo pass reads
// them from enlarged crops around the bull's-eye.
std::vector<Call> concurrentCalls() {
    std::vector<Call> calls;
    for (int i = 0; i < 6; ++i) {
        Call call;
        call.text = "frame " + std::to_string(i) + " " + randomText(10 + 30 * i, 40 + i);
        RenderOptions options;
        options.moduleSize = 3.0 + 0.5 * (i % 3);
        options.angleDegrees = 40.0 * i;
        options.noiseSigma = i % 2 ? 6.0 : 0.0;
        call.gray = talavex_test::renderSymbol(encode(call.text), options);
        call.read = i % 2 ? readCallBGRA : readCallY;
        if (i % 2) call.bgra = talavex_test::toBGRA(call.gray, 9 + i);
        calls.push_back(std::move(call));
    }
    const struct {
        double module;
        std::uint32_t seed;
    } photos[] = {{1.6, 1}, {1.6, 2}, {1.6, 6}, {1.5, 3}};
    for (const auto& p : photos) {
        Call call;
        call.text = "Photo pass test 0123456789 ABCDEFGHIJ";
        talavex_test::PhotoScene scene;
        scene.width = 640;
        scene.height = 480;
        scene.backgroundSeed = p.seed;
        scene.centreX = 416.0;
        scene.centreY = 168.0;
        scene.render.moduleSize = p.module;
        scene.render.angleDegrees = 10.0;
        scene.render.blurSigma = 0.4;
        scene.render.noiseSigma = 3.0;
        scene.render.seed = p.seed;
        const AztecSymbol symbol = encode(call.text);
        call.gray = talavex_test::composePhoto(&symbol, scene);
        call.bgra = talavex_test::toBGRA(call.gray, p.seed);
        call.read = readCallPhoto;
        calls.push_back(std::move(call));
    }
    return calls;
}

// All three exports at once, each thread calling its export three times.
TEST(ConcurrencyTest, ThreadsGiveTheSerialResults) {
    const std::vector<Call> calls = concurrentCalls();
    std::vector<std::string> serial;
    std::vector<std::string> texts;
    for (const Call& call : calls) {
        serial.push_back(call.read(call));
        texts.push_back(call.text);
    }

    std::vector<std::string> parallel(calls.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < calls.size(); ++i)
        threads.emplace_back([&, i] {
            parallel[i] = calls[i].read(calls[i]);
            for (int round = 1; round < 3; ++round)
                if (calls[i].read(calls[i]) != parallel[i]) parallel[i] = "<differs between rounds>";
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(parallel, serial);
    EXPECT_EQ(serial, texts);
}

}  // namespace
}  // namespace talavex_e2e
