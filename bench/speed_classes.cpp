#include "speed_classes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>

#include "e2e/hostile_images.h"
#include "golden_frames.h"
#include "read_rate_classes.h"
#include "support/aztec_encoder.h"
#include "support/bullseye.h"
#include "support/photo_scene.h"
#include "support/render.h"

namespace talavex_bench {

using talavex_test::AztecSize;
using talavex_test::AztecSymbol;
using talavex_test::GrayImage;

std::mt19937 imageRng(std::uint32_t seed, const std::string& className, int index) {
    std::uint32_t hash = 2166136261u;
    for (const char c : className) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    std::seed_seq seq{seed, hash, static_cast<std::uint32_t>(index)};
    return std::mt19937(seq);
}

namespace {

int between(std::mt19937& rng, int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<std::uint32_t>(hi - lo + 1));
}
double between(std::mt19937& rng, double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); }

SpeedImage luminance(GrayImage&& image) {
    SpeedImage out;
    out.width = static_cast<std::uint32_t>(image.width);
    out.height = static_cast<std::uint32_t>(image.height);
    out.bytes = std::move(image.pixels);
    return out;
}

SpeedImage bgra(const GrayImage& image) {
    SpeedImage out;
    out.width = static_cast<std::uint32_t>(image.width);
    out.height = static_cast<std::uint32_t>(image.height);
    out.bytes = talavex_test::toBGRA(image);
    return out;
}

std::string randomText(std::mt19937& rng, int length) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:/-";
    std::string text;
    for (int i = 0; i < length; ++i) text += alphabet[rng() % (sizeof alphabet - 1)];
    return text;
}

// A symbol of the given kind and layer count holding about as much data as
// check words (see fitText); `text` receives its bytes.
AztecSymbol symbolOf(AztecSize size, int layers, std::mt19937& rng, std::string& text) {
    talavex_test::EncodeOptions encode;
    encode.size = size;
    encode.layers = layers;
    text = fitText(randomText(rng, 64), encode);
    return talavex_test::encodeAztec(text, encode);
}

// Upright or at a quarter turn in a frame of at least VGA size with room
// around the symbol; `anyAngle` turns it freely.
GrayImage symbolFrame(const AztecSymbol& symbol, std::mt19937& rng, bool anyAngle) {
    talavex_test::RenderOptions options;
    options.moduleSize = between(rng, 3.0, 4.5);
    options.angleDegrees = anyAngle ? between(rng, 0.0, 360.0) : 90.0 * between(rng, 0, 3);
    options.mirror = rng() % 2 == 1;
    options.seed = rng();
    // Turned freely, the symbol needs up to sqrt(2) times its side.
    const double side = (symbol.size + 2 * options.quietZone) * options.moduleSize * (anyAngle ? 1.45 : 1.1);
    options.width = std::max(640, static_cast<int>(std::ceil(side)));
    options.height = std::max(480, static_cast<int>(std::ceil(side)));
    return talavex_test::renderSymbol(symbol, options);
}

// Flips modules at `rate` and one blot of 2 x 2 to 3 x 3 modules, all outside
// the core (bull's-eye and mode message), which the reader needs whole.
AztecSymbol damage(AztecSymbol symbol, bool compact, double rate, std::mt19937& rng) {
    const int centre = symbol.size / 2;
    const int core = compact ? 5 : 7;
    auto outsideCore = [&](int x, int y) { return std::abs(x - centre) > core || std::abs(y - centre) > core; };
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            if (outsideCore(x, y) && between(rng, 0.0, 1.0) < rate)
                symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] ^= 1;
        }
    }
    const int blot = between(rng, 2, 3);
    for (;;) {
        const int x0 = between(rng, 0, symbol.size - blot);
        const int y0 = between(rng, 0, symbol.size - blot);
        if (!outsideCore(x0, y0) || !outsideCore(x0 + blot - 1, y0 + blot - 1) || !outsideCore(x0 + blot - 1, y0) ||
            !outsideCore(x0, y0 + blot - 1))
            continue;
        for (int y = y0; y < y0 + blot; ++y)
            for (int x = x0; x < x0 + blot; ++x) symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] ^= 1;
        return symbol;
    }
}

void addReadRateClasses(const SpeedPlan& plan, std::vector<SpeedClass>& classes) {
    const std::uint32_t seed = plan.seed;
    for (const FrameClass& cls : frameClasses()) {
        const std::string name = std::string("frame/") + cls.name;
        classes.push_back(
            {name, "frames with a symbol", plan.framesPerClass, Export::Y, false, [&cls, name, seed](int index) {
                 std::mt19937 rng = imageRng(seed, name, index);
                 Sample sample = makeFrame(cls, rng);
                 SpeedImage image = luminance(std::move(sample.image));
                 image.text = std::move(sample.text);
                 return image;
             }});
    }
    for (const PhotoClass& cls : photoClasses()) {
        // The class's own tweak tells whether its photos hold a symbol.
        PhotoPlan probe;
        std::mt19937 probeRng(1);
        cls.tweak(probe, probeRng);
        if (!probe.symbol) continue;
        const std::string name = std::string("photo/") + cls.name;
        classes.push_back({name, "photos with a symbol", plan.photosPerClass, Export::PhotoBGRA, false,
                           [&cls, name, seed](int index) {
                               std::mt19937 rng = imageRng(seed, name, index);
                               Sample sample = makePhoto(cls, rng);
                               SpeedImage image;
                               image.width = static_cast<std::uint32_t>(sample.image.width);
                               image.height = static_cast<std::uint32_t>(sample.image.height);
                               image.bytes = std::move(sample.bgra);
                               image.text = std::move(sample.text);
                               return image;
                           }});
    }
}

void addSymbolClasses(const SpeedPlan& plan, std::vector<SpeedClass>& classes) {
    const std::uint32_t seed = plan.seed;
    struct Sizes {
        const char* name;
        AztecSize size;
        int first, last;
    };
    static const Sizes sizes[] = {{"clean/compact 1-4", AztecSize::Compact, 1, 4},
                                  {"clean/full 1-8", AztecSize::Full, 1, 8},
                                  {"clean/full 9-16", AztecSize::Full, 9, 16},
                                  {"clean/full 17-24", AztecSize::Full, 17, 24},
                                  {"clean/full 25-32", AztecSize::Full, 25, 32}};
    for (const Sizes& s : sizes) {
        const int layerCount = s.last - s.first + 1;
        classes.push_back({s.name, "clean symbols, every size", layerCount * plan.cleanPerSize, Export::Y, false,
                           [s, layerCount, seed](int index) {
                               std::mt19937 rng = imageRng(seed, s.name, index);
                               std::string text;
                               const AztecSymbol symbol = symbolOf(s.size, s.first + index % layerCount, rng, text);
                               SpeedImage image = luminance(symbolFrame(symbol, rng, false));
                               image.text = std::move(text);
                               return image;
                           }});
    }
    classes.push_back({"damaged", "", plan.damaged, Export::Y, false, [seed](int index) {
                           std::mt19937 rng = imageRng(seed, "damaged", index);
                           const bool compact = index % 3 == 0;
                           std::string text;
                           const AztecSymbol symbol = compact
                                                          ? symbolOf(AztecSize::Compact, between(rng, 1, 4), rng, text)
                                                          : symbolOf(AztecSize::Full, between(rng, 1, 12), rng, text);
                           const double rate = between(rng, 0.01, 0.03);
                           SpeedImage image = luminance(symbolFrame(damage(symbol, compact, rate, rng), rng, true));
                           image.text = std::move(text);
                           return image;
                       }});
}

// The golden check's kinds of empty frame, all at 1920 x 1080.
void addEmptyClasses(const SpeedPlan& plan, std::vector<SpeedClass>& classes) {
    const std::uint32_t seed = plan.seed;
    constexpr int w = 1920;
    constexpr int h = 1080;
    auto add = [&](const char* name, std::function<GrayImage(int, std::mt19937&)> make) {
        classes.push_back({name, "", plan.emptyPerKind, Export::Y, false, [name, make, seed](int index) {
                               std::mt19937 rng = imageRng(seed, name, index);
                               return luminance(make(index, rng));
                           }});
    };
    add("empty/flat 1920x1080",
        [](int, std::mt19937& rng) { return talavex_test::blankImage(w, h, static_cast<std::uint8_t>(rng())); });
    add("empty/noise 1920x1080", [](int index, std::mt19937& rng) {
        if (index % 2 == 0) return talavex_e2e::noise(w, h, rng());
        GrayImage image = talavex_test::blankImage(w, h, static_cast<std::uint8_t>(between(rng, 40, 220)));
        const double sigma = between(rng, 2.0, 40.0);
        talavex_test::addNoise(image, sigma, rng());
        return image;
    });
    add("empty/gradient 1920x1080", [](int index, std::mt19937& rng) {
        const int from = between(rng, 0, 255);
        const int to = between(rng, 0, 255);
        GrayImage image = gradientFrame(w, h, from, to, between(rng, 0.0, 360.0), index % 3 == 2);
        if (index % 2 == 1) talavex_test::addNoise(image, 2.0, rng());
        return image;
    });
    add("empty/clutter 1920x1080", [](int, std::mt19937& rng) {
        const std::uint32_t clutterSeed = rng();
        return talavex_test::clutteredPhoto(w, h, clutterSeed, between(rng, 0.5, 2.5));
    });
}

void addWorstCases(const SpeedPlan& plan, std::vector<SpeedClass>& classes) {
    const std::uint32_t seed = plan.seed;
    constexpr int big = 8192;
    classes.push_back({"worst/bull's-eye 8192x8192", "", 1, Export::Y, true, [](int) {
                           // Six rings and the centre: 13 modules of 600 pixels.
                           GrayImage image = talavex_test::blankImage(big, big, 255);
                           talavex_test::paintBullseye(image, {(big - 1) / 2.0, (big - 1) / 2.0, 600.0, 0.0, 6});
                           return luminance(std::move(image));
                       }});
    classes.push_back({"worst/uniform 8192x8192", "", 1, Export::Y, true,
                       [](int) { return luminance(talavex_test::blankImage(big, big, 128)); }});
    classes.push_back({"worst/noise 8192x8192", "", 1, Export::Y, true,
                       [seed](int) { return luminance(talavex_e2e::noise(big, big, seed)); }});
    if (plan.planes) {
        // The largest planes the exports take: 2^31 - 1 bytes in one row or column.
        constexpr std::uint32_t longest = std::numeric_limits<std::int32_t>::max();
        for (const bool row : {true, false}) {
            classes.push_back(
                {row ? "worst/plane (2^31-1)x1" : "worst/plane 1x(2^31-1)", "", 1, Export::Y, true, [row](int) {
                     SpeedImage image;
                     image.width = row ? longest : 1;
                     image.height = row ? 1 : longest;
                     image.bytes.assign(longest, 128);
                     return image;
                 }});
        }
    }
    classes.push_back({"worst/photo 4032x3024 no symbol", "", 2, Export::PhotoBGRA, false, [seed](int index) {
                           return clutterPhoto(4032, 3024, seed + static_cast<std::uint32_t>(index));
                       }});
    // Frames of growing size tiled with one cluttered VGA frame, so that
    // every size has the same content per pixel and the same middle: the time
    // per megapixel should stay flat.
    static const int series[][2] = {{640, 480}, {1280, 960}, {2048, 1536}, {4096, 3072}, {8192, 6144}, {8192, 8192}};
    for (const auto& size : series) {
        const int width = size[0];
        const int height = size[1];
        const bool huge = static_cast<long long>(width) * height >= 16LL << 20;
        classes.push_back({"scale/" + std::to_string(width) + "x" + std::to_string(height), "", 1, Export::Y, huge,
                           [width, height, seed](int) {
                               const GrayImage tile = talavex_test::clutteredPhoto(640, 480, seed);
                               GrayImage image = talavex_test::blankImage(width, height, 0);
                               // A whole tile in the middle, where the frame pass looks first.
                               const int left = ((width - tile.width) / 2) % tile.width;
                               const int top = ((height - tile.height) / 2) % tile.height;
                               for (int y = 0; y < height; ++y)
                                   for (int x = 0; x < width; ++x)
                                       image.pixels[static_cast<std::size_t>(y) * width + x] = tile.at(
                                           (x + tile.width - left) % tile.width, (y + tile.height - top) % tile.height);
                               return luminance(std::move(image));
                           }});
    }
}

}  // namespace

SpeedImage clutterFrame(int width, int height, std::uint32_t seed) {
    return luminance(talavex_test::clutteredPhoto(width, height, seed));
}

SpeedImage clutterPhoto(int width, int height, std::uint32_t seed) {
    return bgra(talavex_test::clutteredPhoto(width, height, seed));
}

std::vector<SpeedClass> speedClasses(const SpeedPlan& plan) {
    std::vector<SpeedClass> classes;
    addReadRateClasses(plan, classes);
    addSymbolClasses(plan, classes);
    addEmptyClasses(plan, classes);
    if (plan.worstCases) addWorstCases(plan, classes);
    return classes;
}

}  // namespace talavex_bench
