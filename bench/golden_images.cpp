#include "golden_images.h"

#include <memory>
#include <random>
#include <string>
#include <utility>

#include "e2e/hostile_images.h"
#include "golden_frames.h"
#include "locate/hostile_symbols.h"
#include "locate/locate_support.h"
#include "read_rate_classes.h"
#include "support/aztec_encoder.h"
#include "support/photo_scene.h"

namespace talavex_bench {

using talavex_test::GrayImage;
using talavex_test::RenderOptions;

namespace {

// Counts keep the whole check to a few minutes: most images are VGA frames,
// which cost tens of milliseconds; photos, big frames and the hostile symbols
// (which the photo pass retries at every enlargement) cost seconds.
constexpr int kFramesPerClass = 90;
constexpr int kPhotosPerClass = 6;
constexpr int kLargePhotos = 2;  // 12-megapixel photos
constexpr int kEmptyPerKind = 60;

using Maker = std::function<GrayImage(int index, std::mt19937& rng)>;

struct Group {
    std::string name;
    int count;
    Maker make;
};

// Integer and canonical draws only, so the images do not depend on how the
// standard library shapes its distributions. Every draw is a statement of its
// own or the last argument of a call: the order in which a call's arguments
// are evaluated is up to the compiler.
int between(std::mt19937& rng, int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<std::uint32_t>(hi - lo + 1));
}
double between(std::mt19937& rng, double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); }

std::string upperText(std::mt19937& rng, int length) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string text;
    for (int i = 0; i < length; ++i) text += alphabet[rng() % (sizeof alphabet - 1)];
    return text;
}

struct Size {
    int width, height;
};

// Mostly VGA; one frame in ten is full HD and one in forty 4096 x 2160.
Size emptyFrameSize(int index) {
    static const Size sizes[] = {{640, 480}, {640, 480},  {800, 600},  {640, 480},   {1280, 720},
                                 {640, 480}, {1024, 768}, {640, 480},  {1920, 1080}, {640, 480},
                                 {800, 600}, {640, 480},  {1280, 720}, {640, 480},   {1920, 1080},
                                 {640, 480}, {1024, 768}, {640, 480},  {1280, 720},  {640, 480}};
    if (index % 40 == 39) return {4096, 2160};
    return sizes[index % 20];
}

std::vector<Group> emptyGroups() {
    return {
        {"empty/flat", kEmptyPerKind,
         [](int index, std::mt19937& rng) {
             const Size s = emptyFrameSize(index);
             return locate_test::blankImage(s.width, s.height, static_cast<std::uint8_t>(rng()));
         }},
        {"empty/noise", kEmptyPerKind,
         [](int index, std::mt19937& rng) {
             const Size s = emptyFrameSize(index);
             if (index % 2 == 0) return talavex_e2e::noise(s.width, s.height, rng());
             const auto grey = static_cast<std::uint8_t>(between(rng, 40, 220));
             const double sigma = between(rng, 2.0, 40.0);
             GrayImage image = locate_test::blankImage(s.width, s.height, grey);
             talavex_test::addNoise(image, sigma, rng());
             return image;
         }},
        {"empty/gradient", kEmptyPerKind,
         [](int index, std::mt19937& rng) {
             const Size s = emptyFrameSize(index);
             const int from = between(rng, 0, 255);
             const int to = between(rng, 0, 255);
             GrayImage image = gradientFrame(s.width, s.height, from, to, between(rng, 0.0, 360.0), index % 3 == 2);
             if (index % 2 == 1) talavex_test::addNoise(image, 2.0, rng());
             return image;
         }},
        {"empty/clutter", kEmptyPerKind,
         [](int index, std::mt19937& rng) {
             const Size s = emptyFrameSize(index);
             const std::uint32_t clutterSeed = rng();
             return talavex_test::clutteredPhoto(s.width, s.height, clutterSeed, between(rng, 0.5, 2.5));
         }},
        {"empty/checkerboard", kEmptyPerKind,
         [](int index, std::mt19937& rng) {
             const Size s = emptyFrameSize(index);
             const double cell = between(rng, 2.0, 60.0);
             const int dark = between(rng, 0, 100);
             const int light = between(rng, 150, 255);
             const double angle = index % 2 == 0 ? 0.0 : between(rng, 0.0, 90.0);
             const double phaseX = between(rng, 0.0, cell);
             const double phaseY = between(rng, 0.0, cell);
             return checkerboardFrame(s.width, s.height, cell, dark, light, angle, phaseX, phaseY);
         }},
    };
}

// Symbol rendering shared by the hostile groups: tight around the symbol or
// in a VGA frame, at a quarter turn or any angle, sometimes with noise.
GrayImage renderHostile(const talavex_test::AztecSymbol& symbol, int index, std::mt19937& rng) {
    RenderOptions options;
    options.moduleSize = between(rng, 2.5, 5.0);
    options.angleDegrees = index % 2 == 0 ? 90.0 * between(rng, 0, 3) : between(rng, 0.0, 360.0);
    options.mirror = rng() % 2 == 1;
    options.noiseSigma = index % 3 == 2 ? between(rng, 2.0, 10.0) : 0.0;
    options.seed = rng();
    if (index % 4 >= 2) {
        options.width = 640;
        options.height = 480;
    }
    return talavex_test::renderSymbol(symbol, options);
}

// Shapes of 1 x N, N x 1 and under the photo pass's 64-pixel minimum.
const std::vector<Size>& tinyShapes() {
    static const std::vector<Size> shapes = {
        {1, 1},    {1, 2},    {2, 1},    {2, 3},     {3, 2},     {7, 5},    {5, 7},    {16, 16},  {31, 200},
        {200, 31}, {48, 48},  {63, 63},  {63, 1000}, {1000, 63}, {64, 64},  {64, 63},  {63, 64},  {1, 640},
        {640, 1},  {1, 4096}, {4096, 1}, {2, 2048},  {2048, 2},  {3, 1000}, {1000, 3}, {100, 64}, {64, 100},
    };
    return shapes;
}

std::vector<Group> hostileGroups() {
    const int tinyCount = static_cast<int>(tinyShapes().size()) * 3;
    return {
        {"hostile/lying-mode", 16,
         [](int index, std::mt19937& rng) {
             const auto& claims = locate_test::lyingModeClaims();
             const locate_test::LyingModeCase& claim = claims[static_cast<std::size_t>(index) % claims.size()];
             const std::string text = upperText(rng, between(rng, 1, 8));
             const auto modules = locate_test::withModeMessage(text, claim.size, claim.layers, claim.dataCodewords);
             return renderHostile(locate_test::toSymbol(modules), index / static_cast<int>(claims.size()), rng);
         }},
        {"hostile/beyond-repair", 24,
         [](int index, std::mt19937& rng) {
             const std::string text = upperText(rng, between(rng, 5, 80));
             const auto modules = locate_test::damagedBeyondRepair(text, rng());
             return renderHostile(locate_test::toSymbol(modules), index, rng);
         }},
        {"hostile/decoy", 30,
         [](int index, std::mt19937& rng) {
             switch (index % 5) {
                 case 0: {  // a bull's-eye with nothing around it, near the centre
                     GrayImage image = locate_test::blankImage(640, 480);
                     const int module = between(rng, 2, 12);
                     const int left = 320 + between(rng, -60, 60);
                     const int top = 240 + between(rng, -60, 60);
                     talavex_test::paintBullseye(image, {left + (module - 1) / 2.0, top + (module - 1) / 2.0,
                                                         static_cast<double>(module), 0.0, between(rng, 3, 9)});
                     return image;
                 }
                 case 1: {  // stretched
                     GrayImage image = locate_test::blankImage(640, 480);
                     const int module = between(rng, 3, 12);
                     const int rings = between(rng, 4, 7);
                     const int height = between(rng, 2, 16);
                     talavex_test::paintBullseye(
                         image, {320 + (module - 1) / 2.0, 240 + (height - 1) / 2.0, static_cast<double>(module),
                                 static_cast<double>(height), rings});
                     return image;
                 }
                 case 2: {  // turned, among clutter
                     GrayImage image = talavex_test::clutteredPhoto(640, 480, rng());
                     const double cx = between(rng, 200.0, 440.0);
                     const double cy = between(rng, 160.0, 320.0);
                     const double module = between(rng, 3.0, 10.0);
                     const int rings = between(rng, 4, 7);
                     talavex_test::paintBullseye(image, {cx, cy, module, 0.0, rings, between(rng, 0.0, 90.0)});
                     return image;
                 }
                 case 3: {  // rings tiled over the whole frame
                     const int tile = between(rng, 30, 120);
                     return talavex_e2e::tiledRings(640, 480, tile, rng());
                 }
                 default: {  // one bull's-eye filling the frame
                     GrayImage image = locate_test::blankImage(640, 480);
                     const int module = between(rng, 20, 40);
                     const double centreX = 320 - module / 2 + (module - 1) / 2.0;
                     const double centreY = 240 - module / 2 + (module - 1) / 2.0;
                     talavex_test::paintBullseye(
                         image, {centreX, centreY, static_cast<double>(module), 0.0, between(rng, 5, 8)});
                     return image;
                 }
             }
         }},
        {"hostile/tiny", tinyCount,
         [](int index, std::mt19937& rng) {
             const Size s = tinyShapes()[static_cast<std::size_t>(index) % tinyShapes().size()];
             switch (index / static_cast<int>(tinyShapes().size())) {
                 case 0: return talavex_e2e::noise(s.width, s.height, rng());
                 case 1: return locate_test::blankImage(s.width, s.height, static_cast<std::uint8_t>(rng()));
                 default: {  // the middle of a symbol, through its bull's-eye
                     RenderOptions options;
                     options.moduleSize = between(rng, 2.0, 4.0);
                     const auto symbol = talavex_test::encodeAztec(upperText(rng, between(rng, 4, 60)));
                     return centreWindow(talavex_test::renderSymbol(symbol, options), s.width, s.height);
                 }
             }
         }},
        {"hostile/tiny-symbol", 110,
         [](int, std::mt19937& rng) {
             // Compact symbols at one to two and a half pixels per module: most
             // of these frames are below the photo pass's minimum size.
             talavex_test::EncodeOptions encode;
             encode.size = talavex_test::AztecSize::Compact;
             const auto symbol = talavex_test::encodeAztec(upperText(rng, between(rng, 1, 20)), encode);
             RenderOptions options;
             options.moduleSize = between(rng, 1.0, 2.5);
             options.quietZone = between(rng, 1, 4);
             options.angleDegrees = 90.0 * between(rng, 0, 3);
             return talavex_test::renderSymbol(symbol, options);
         }},
    };
}

std::vector<Group> readRateGroups() {
    std::vector<Group> groups;
    for (const FrameClass& cls : frameClasses()) {
        groups.push_back({std::string("frame/") + cls.name, kFramesPerClass,
                          [&cls](int, std::mt19937& rng) { return makeFrame(cls, rng).image; }});
    }
    for (const PhotoClass& cls : photoClasses()) {
        const bool large = std::string(cls.name) == "large-photo";
        groups.push_back({std::string("photo/") + cls.name, large ? kLargePhotos : kPhotosPerClass,
                          [&cls](int, std::mt19937& rng) { return makePhoto(cls, rng).image; }});
    }
    return groups;
}

// Seeds follow the group's name, not its place, so adding a group changes no
// other group's images.
std::uint32_t nameHash(const std::string& name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    return hash;
}

std::string fourDigits(int index) {
    std::string digits = std::to_string(index);
    return std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

}  // namespace

std::vector<GoldenEntry> goldenCatalogue(std::uint32_t seed) {
    std::vector<Group> groups = readRateGroups();
    for (auto* more : {emptyGroups, hostileGroups}) {
        for (Group& g : more()) groups.push_back(std::move(g));
    }
    std::vector<GoldenEntry> entries;
    for (const Group& group : groups) {
        const auto make = std::make_shared<Maker>(group.make);
        const std::uint32_t groupSeed = nameHash(group.name);
        for (int index = 0; index < group.count; ++index) {
            const auto imageIndex = static_cast<std::uint32_t>(index);
            entries.push_back({group.name + "/" + fourDigits(index), group.name, [=] {
                                   std::seed_seq seq{seed, groupSeed, imageIndex};
                                   std::mt19937 rng(seq);
                                   return (*make)(index, rng);
                               }});
        }
    }
    return entries;
}

}  // namespace talavex_bench
