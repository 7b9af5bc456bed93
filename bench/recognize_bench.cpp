// Time per call of the entry points on typical frames and on inputs without a
// symbol. Compare figures only within one run: the machines are shared.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/aztec_encoder.h"
#include "support/photo_scene.h"
#include "support/render.h"
#include "talavex/talavex.h"

namespace {

using talavex_test::GrayImage;
using talavex_test::RenderOptions;

GrayImage frameWith(const std::string& text, talavex_test::AztecSize size, int width, int height, double moduleSize) {
    talavex_test::EncodeOptions encode;
    encode.size = size;
    RenderOptions options;
    options.width = width;
    options.height = height;
    options.moduleSize = moduleSize;
    options.angleDegrees = 17.0;
    return talavex_test::renderSymbol(talavex_test::encodeAztec(text, encode), options);
}

void runY(benchmark::State& state, const GrayImage& image, const std::string& expected) {
    for (auto _ : state) {
        char* out = recognizeY(image.pixels.data(), image.width, image.height);
        if (expected != out) state.SkipWithError("unexpected result");
        std::free(out);
    }
}

void BM_CompactFrameVGA(benchmark::State& state) {
    static const GrayImage image = frameWith("HELLO 2026", talavex_test::AztecSize::Compact, 640, 480, 4);
    runY(state, image, "HELLO 2026");
}
BENCHMARK(BM_CompactFrameVGA)->Unit(benchmark::kMillisecond);

void BM_FullFrameHD(benchmark::State& state) {
    static const std::string text(600, 'x');
    static const GrayImage image = frameWith(text, talavex_test::AztecSize::Full, 1920, 1080, 5);
    runY(state, image, text);
}
BENCHMARK(BM_FullFrameHD)->Unit(benchmark::kMillisecond);

void BM_NoSymbolNoiseHD(benchmark::State& state) {
    static const GrayImage image = [] {
        GrayImage noise;
        noise.width = 1920;
        noise.height = 1080;
        noise.pixels.resize(static_cast<std::size_t>(noise.width) * noise.height);
        std::mt19937 rng(5);
        for (auto& p : noise.pixels) p = static_cast<std::uint8_t>(rng());
        return noise;
    }();
    runY(state, image, "");
}
BENCHMARK(BM_NoSymbolNoiseHD)->Unit(benchmark::kMillisecond);

void runPhoto(benchmark::State& state, const GrayImage& photo, const std::string& expected) {
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(photo);
    for (auto _ : state) {
        char* out = recognizePhotoBGRA(bgra.data(), photo.width, photo.height);
        if (expected != out) state.SkipWithError("unexpected result");
        std::free(out);
    }
}

// Concentric square rings of random ring width and count all over a cluttered
// photo: each is a bright spot of the bull's-eye search, none a real symbol.
GrayImage bullseyeClutter(int width, int height, int patterns, std::uint32_t seed) {
    GrayImage photo = talavex_test::clutteredPhoto(width, height, seed);
    std::mt19937 rng(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < patterns; ++i) {
        const int ring = uniform(2, 9);
        const int rings = uniform(3, 8);
        const int cx = uniform(0, width - 1);
        const int cy = uniform(0, height - 1);
        const int dark = uniform(0, 60);
        const int light = uniform(170, 250);
        const int reach = ring * rings + ring / 2;
        for (int y = std::max(0, cy - reach); y <= std::min(height - 1, cy + reach); ++y) {
            for (int x = std::max(0, cx - reach); x <= std::min(width - 1, cx + reach); ++x) {
                const int d = (std::max(std::abs(x - cx), std::abs(y - cy)) + ring / 2) / ring;
                photo.pixels[static_cast<std::size_t>(y) * width + x] =
                    static_cast<std::uint8_t>(d % 2 == 0 ? dark : light);
            }
        }
    }
    return photo;
}

void BM_PhotoNoSymbol12MP(benchmark::State& state) {
    static const GrayImage photo = talavex_test::clutteredPhoto(4032, 3024, 21);
    runPhoto(state, photo, "");
}
BENCHMARK(BM_PhotoNoSymbol12MP)->Unit(benchmark::kMillisecond);

void BM_PhotoBullseyeClutter12MP(benchmark::State& state) {
    static const GrayImage photo = bullseyeClutter(4032, 3024, 400, 22);
    runPhoto(state, photo, "");
}
BENCHMARK(BM_PhotoBullseyeClutter12MP)->Unit(benchmark::kMillisecond);

void BM_PhotoWithSymbol1280x960(benchmark::State& state) {
    static const std::string text = "Photo benchmark 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static const GrayImage photo = [] {
        talavex_test::PhotoScene scene;
        scene.backgroundSeed = 23;
        scene.centreX = 900;
        scene.centreY = 300;
        scene.render.moduleSize = 3.0;
        scene.render.angleDegrees = 21.0;
        scene.render.blurSigma = 0.6;
        scene.render.noiseSigma = 2.0;
        const talavex_test::AztecSymbol symbol = talavex_test::encodeAztec(text);
        return talavex_test::composePhoto(&symbol, scene);
    }();
    runPhoto(state, photo, text);
}
BENCHMARK(BM_PhotoWithSymbol1280x960)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
