#include "reader_worst_cases.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>

#include "e2e/hostile_images.h"
#include "read_rate_classes.h"
#include "speed_classes.h"
#include "support/aztec_encoder.h"
#include "support/bullseye.h"

namespace talavex_bench {

namespace {

using talavex_test::AztecSymbol;
using talavex_test::GrayImage;
using talavex_test::RenderOptions;

double uniform(std::mt19937& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
int between(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::string randomText(std::mt19937& rng, int shortest, int longest) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:/-";
    const int length = between(rng, shortest, longest);
    std::string text;
    for (int i = 0; i < length; ++i) text += alphabet[rng() % (sizeof alphabet - 1)];
    return text;
}

CostImage noSymbol(GrayImage&& gray, int index) {
    CostImage image = costImage(std::move(gray));
    image.source = "index " + std::to_string(index);
    return image;
}

CostImage withSymbol(GrayImage&& gray, std::string text, int index) {
    CostImage image = costImage(std::move(gray), std::move(text));
    image.source = "index " + std::to_string(index);
    return image;
}

// Cells of 64 pixels, each holding the same bull's-eye with a light margin:
// full-range rings at 4 pixels a module, or compact ones at 6.
GrayImage bullseyeTile(int side, bool full) {
    constexpr int cell = 64;
    GrayImage tile = talavex_test::blankImage(cell, cell);
    talavex_test::Bullseye bullseye;
    bullseye.cx = bullseye.cy = (cell - 1) / 2.0;
    bullseye.module = full ? 4.0 : 6.0;
    bullseye.rings = full ? 6 : 4;
    talavex_test::paintBullseye(tile, bullseye);
    GrayImage image = talavex_test::blankImage(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.pixels[static_cast<std::size_t>(y) * side + x] = tile.at(x % cell, y % cell);
    return image;
}

// A symbol near the centre of a 480 x 480 frame, blurred with a sigma of 0.45
// to 0.9 modules: too soft to read, while its bull's-eye still shows.
CostImage blurredSymbol(std::mt19937& rng, int index) {
    std::string text = randomText(rng, 10, 120);
    const AztecSymbol symbol = talavex_test::encodeAztec(text);
    RenderOptions options;
    options.width = options.height = 480;
    options.moduleSize = std::min(uniform(rng, 3.0, 5.0), 0.8 * 480 / (symbol.size + 2 * options.quietZone));
    options.blurSigma = options.moduleSize * uniform(rng, 0.45, 0.9);
    options.angleDegrees = uniform(rng, 0, 360);
    options.offsetX = uniform(rng, -20, 20);
    options.offsetY = uniform(rng, -20, 20);
    options.noiseSigma = 2.0;
    options.seed = rng();
    return withSymbol(talavex_test::renderSymbol(symbol, options), std::move(text), index);
}

// A symbol 245 to 365 pixels across with its quiet zone, a fifth of its data
// modules flipped: the bull's-eye and the mode message are whole, so the
// reader finds it and tries everything, but no correction can repair it.
CostImage damagedBeyondRepair(std::mt19937& rng, int index) {
    talavex_test::EncodeOptions encode;
    const bool compact = index % 3 == 0;
    encode.size = compact ? talavex_test::AztecSize::Compact : talavex_test::AztecSize::Full;
    encode.layers = compact ? between(rng, 1, 4) : between(rng, 2, 12);
    std::string text = fitText(randomText(rng, 40, 40), encode);
    AztecSymbol symbol = talavex_test::encodeAztec(text, encode);
    const int c = symbol.size / 2;
    const int core = compact ? 5 : 7;
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            const bool inCore = std::max(std::abs(x - c), std::abs(y - c)) <= core;
            const bool referenceLine = !compact && ((x - c) % 16 == 0 || (y - c) % 16 == 0);
            if (!inCore && !referenceLine && uniform(rng, 0.0, 1.0) < 0.2)
                symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] ^= 1;
        }
    }
    RenderOptions options;
    options.moduleSize = uniform(rng, 245.0, 365.0) / (symbol.size + 2 * options.quietZone);
    options.angleDegrees = 90.0 * between(rng, 0, 3);
    options.mirror = rng() % 2 == 1;
    options.noiseSigma = uniform(rng, 0.0, 4.0);
    options.seed = rng();
    return withSymbol(talavex_test::renderSymbol(symbol, options), std::move(text), index);
}

std::string runeDigits(int value) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", value);
    return digits;
}

// A clean rune filling a 110 x 110 image with two modules of quiet zone.
CostImage runeAlone(std::mt19937& rng, int index) {
    const int value = between(rng, 0, 255);
    RenderOptions options;
    options.width = options.height = 110;
    options.quietZone = 2;
    options.moduleSize = 110.0 / (11 + 2 * options.quietZone);
    options.angleDegrees = 90.0 * between(rng, 0, 3);
    return withSymbol(talavex_test::renderSymbol(talavex_test::encodeAztecRune(value), options), runeDigits(value),
                      index);
}

// A rune at 3 to 8 pixels a module anywhere in a 640 x 480 frame but near
// its centre (at least 40 pixels off), turned freely.
CostImage runeAnywhere(std::mt19937& rng, int index) {
    const int value = between(rng, 0, 255);
    RenderOptions options;
    options.width = 640;
    options.height = 480;
    options.moduleSize = uniform(rng, 3.0, 8.0);
    options.angleDegrees = uniform(rng, 0, 360);
    options.mirror = rng() % 2 == 1;
    options.black = between(rng, 0, 50);
    options.white = between(rng, 200, 255);
    options.noiseSigma = uniform(rng, 0.0, 4.0);
    options.seed = rng();
    const double a = options.angleDegrees * 3.14159265358979323846 / 180.0;
    const double half =
        0.5 * (11 + 2 * options.quietZone) * options.moduleSize * (std::fabs(std::cos(a)) + std::fabs(std::sin(a)));
    const double reachX = options.width / 2.0 - half;
    const double reachY = options.height / 2.0 - half;
    do {
        options.offsetX = uniform(rng, -reachX, reachX);
        options.offsetY = uniform(rng, -reachY, reachY);
    } while (std::hypot(options.offsetX, options.offsetY) < 40.0);
    return withSymbol(talavex_test::renderSymbol(talavex_test::encodeAztecRune(value), options), runeDigits(value),
                      index);
}

}  // namespace

std::vector<CostClass> readerWorstCases(std::uint32_t seed, int perClass, bool huge) {
    std::vector<CostClass> classes;
    // Each image draws from its own generator, named by class and index.
    auto add = [&](const std::string& name, int count, std::function<CostImage(std::mt19937&, int)> make) {
        classes.push_back({name, count, false, true, [name, make, seed](int index) {
                               std::mt19937 rng = imageRng(seed, name, index);
                               return make(rng, index);
                           }});
    };
    add("worst/noise 1920x1080", perClass,
        [](std::mt19937& rng, int i) { return noSymbol(talavex_e2e::noise(1920, 1080, rng()), i); });
    add("worst/flat 1920x1080", perClass, [](std::mt19937& rng, int i) {
        return noSymbol(talavex_test::blankImage(1920, 1080, static_cast<std::uint8_t>(between(rng, 0, 255))), i);
    });
    add("worst/noise 4000x3000", perClass,
        [](std::mt19937& rng, int i) { return noSymbol(talavex_e2e::noise(4000, 3000, rng()), i); });
    add("worst/rings tile 4000x3000", perClass,
        [](std::mt19937& rng, int i) { return noSymbol(talavex_e2e::tiledRings(4000, 3000, 64, rng()), i); });
    add("worst/bull's-eye tile 2048x2048", std::min(perClass, 2),
        [](std::mt19937&, int i) { return noSymbol(bullseyeTile(2048, i % 2 == 0), i); });
    add("worst/blurred symbol 480x480", perClass, blurredSymbol);
    add("worst/damaged beyond repair", perClass, damagedBeyondRepair);
    add("worst/rune 110x110", perClass, runeAlone);
    add("worst/rune anywhere 640x480", perClass, runeAnywhere);
    if (huge) {
        // The largest square the reader takes: 46340^2 < 2^31 pixels.
        classes.push_back({"worst/gray 46340x46340", 1, true, true,
                           [](int i) { return noSymbol(talavex_test::blankImage(46340, 46340, 128), i); }});
    }
    return classes;
}

}  // namespace talavex_bench
