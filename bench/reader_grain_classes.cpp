#include "reader_grain_classes.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "support/aztec_encoder.h"
#include "support/render.h"
#include "uniform_grain.h"

namespace talavex_bench {

namespace {

using talavex_test::AztecSymbol;
using talavex_test::RenderOptions;

double uniform(std::mt19937& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
int between(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::string randomText(std::mt19937& rng) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:/-";
    const int length = between(rng, 1, 120);
    std::string text;
    for (int i = 0; i < length; ++i) text += alphabet[rng() % (sizeof alphabet - 1)];
    return text;
}

enum class Grain { Uniform, Gaussian };

// A 640 x 480 or 1280 x 720 frame with the symbol at 3 to 8 pixels a module,
// turned freely, its centre anywhere that leaves the quiet zone inside the
// frame. The grain's strength is its amplitude, 10 to 40 levels: uniform grain
// spans -amplitude..amplitude, Gaussian grain has the same standard deviation
// (amplitude / sqrt(3)), so that the two differ in the kind of noise only.
// Blurred frames are blurred before the grain, as a lens is before the sensor.
ReaderSample grainFrame(std::mt19937& rng, Grain grain, bool blurred) {
    std::string text = randomText(rng);
    talavex_test::EncodeOptions encode;
    encode.eccLevel = between(rng, 1, 4);
    const AztecSymbol symbol = talavex_test::encodeAztec(text, encode);
    RenderOptions options;
    const bool hd = rng() % 2 == 1;
    options.width = hd ? 1280 : 640;
    options.height = hd ? 720 : 480;
    options.angleDegrees = uniform(rng, 0, 360);
    options.mirror = rng() % 2 == 1;
    options.black = between(rng, 0, 60);
    options.white = between(rng, 190, 255);
    const double a = options.angleDegrees * 3.14159265358979323846 / 180.0;
    const double turned = std::fabs(std::cos(a)) + std::fabs(std::sin(a));
    const double modules = symbol.size + 2 * options.quietZone;
    // Big symbols get smaller modules so that they fit, never below 3 pixels
    // (the symbols of 120 characters at most fit at 3).
    const double fit = 0.95 * std::min(options.width, options.height) / (modules * turned);
    options.moduleSize = std::max(3.0, std::min(uniform(rng, 3.0, 8.0), fit));
    const double half = 0.5 * modules * options.moduleSize * turned;
    const double reachX = std::max(0.0, options.width / 2.0 - half);
    const double reachY = std::max(0.0, options.height / 2.0 - half);
    options.offsetX = uniform(rng, -reachX, reachX);
    options.offsetY = uniform(rng, -reachY, reachY);
    if (blurred) options.blurSigma = uniform(rng, 0.7, 1.0);
    const int amplitude = between(rng, 10, 40);
    const std::uint32_t grainSeed = rng();
    if (grain == Grain::Gaussian) {
        options.noiseSigma = amplitude / std::sqrt(3.0);
        options.seed = grainSeed;
    }
    ReaderSample out;
    out.sample.image = talavex_test::renderSymbol(symbol, options);
    if (grain == Grain::Uniform) addUniformGrain(out.sample.image, amplitude, grainSeed);
    out.sample.text = std::move(text);
    return out;
}

}  // namespace

const std::vector<ReaderClass>& grainClasses() {
    static const std::vector<ReaderClass> classes = {
        {"grain-uniform", [](std::mt19937& r) { return grainFrame(r, Grain::Uniform, false); }},
        {"grain-gaussian", [](std::mt19937& r) { return grainFrame(r, Grain::Gaussian, false); }},
        {"grain-uniform-blurred", [](std::mt19937& r) { return grainFrame(r, Grain::Uniform, true); }},
        {"grain-gaussian-blurred", [](std::mt19937& r) { return grainFrame(r, Grain::Gaussian, true); }},
    };
    return classes;
}

}  // namespace talavex_bench
