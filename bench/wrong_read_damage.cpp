#include "wrong_read_damage.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "support/aztec_encoder.h"

namespace talavex_bench {

namespace {

using talavex_test::AztecSize;
using talavex_test::AztecSymbol;
using talavex_test::EncodeOptions;

struct Module {
    int x = 0;
    int y = 0;
};

// Chebyshev distance from the symbol's centre module: the finder's rings and
// the mode-message ring are squares around it.
int ringOf(const AztecSymbol& symbol, int x, int y) {
    const int centre = symbol.size / 2;
    return std::max(std::abs(x - centre), std::abs(y - centre));
}

int modeRingRadius(bool compact) { return compact ? 5 : 7; }

// Full-range symbols carry reference-grid lines every 16 modules through the
// centre; they are not data.
bool onReferenceGrid(const AztecSymbol& symbol, int x, int y) {
    const int centre = symbol.size / 2;
    return (x - centre) % 16 == 0 || (y - centre) % 16 == 0;
}

std::vector<Module> modeRingModules(const AztecSymbol& symbol, bool compact) {
    std::vector<Module> out;
    for (int y = 0; y < symbol.size; ++y)
        for (int x = 0; x < symbol.size; ++x)
            if (ringOf(symbol, x, y) == modeRingRadius(compact)) out.push_back({x, y});
    return out;
}

std::vector<Module> dataModules(const AztecSymbol& symbol, bool compact) {
    std::vector<Module> out;
    for (int y = 0; y < symbol.size; ++y)
        for (int x = 0; x < symbol.size; ++x)
            if (ringOf(symbol, x, y) > modeRingRadius(compact) && (compact || !onReferenceGrid(symbol, x, y)))
                out.push_back({x, y});
    return out;
}

void flip(AztecSymbol& symbol, const Module& m) {
    std::uint8_t& module = symbol.modules[static_cast<std::size_t>(m.y) * static_cast<std::size_t>(symbol.size) +
                                          static_cast<std::size_t>(m.x)];
    module = module != 0 ? 0 : 1;
}

void flipSome(AztecSymbol& symbol, std::vector<Module> modules, int count, std::mt19937& rng) {
    std::shuffle(modules.begin(), modules.end(), rng);
    const auto n = std::min(modules.size(), static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < n; ++i) flip(symbol, modules[i]);
}

int between(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

// Upper-case text (one character mode, as in most labels) or any printable
// ASCII (mode latches and shifts), as long as zint fits into the layers.
std::string randomText(std::mt19937& rng, std::size_t length) {
    static const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ ";
    static const std::string printable =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:;!?-+/*()[]{}<>=#$%&'\"@\\^_`|~";
    const std::string& alphabet = rng() % 2 == 0 ? upper : printable;
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[rng() % alphabet.size()];
    return text;
}

struct Encoded {
    AztecSymbol symbol;
    std::string text;
};

Encoded encodeAtSize(const HuntClass& cls, std::mt19937& rng) {
    EncodeOptions options;
    options.size = cls.compact ? AztecSize::Compact : AztecSize::Full;
    options.layers = cls.layers;
    // Upper bound on what fits: about 5 bits a character in the layers' area.
    const int layerBits = ((cls.compact ? 88 : 112) + 16 * cls.layers) * cls.layers;
    auto length = static_cast<std::size_t>(between(rng, 1, std::max(1, layerBits / 8)));
    for (;; length = length * 4 / 5) {
        const std::string text = randomText(rng, std::max<std::size_t>(length, 1));
        try {
            return {talavex_test::encodeAztec(text, options), text};
        } catch (const std::runtime_error&) {
            if (length <= 1) throw;
        }
    }
}

void damage(AztecSymbol& symbol, const HuntClass& cls, std::mt19937& rng) {
    const std::vector<Module> ring = modeRingModules(symbol, cls.compact);
    const std::vector<Module> data = dataModules(symbol, cls.compact);
    switch (cls.damage) {
        case HuntDamage::ModeRing: flipSome(symbol, ring, between(rng, cls.minFlips, cls.maxFlips), rng); break;
        case HuntDamage::Data: flipSome(symbol, data, between(rng, cls.minFlips, cls.maxFlips), rng); break;
        case HuntDamage::ModeRingAndData:
            flipSome(symbol, ring, between(rng, cls.minFlips, cls.maxFlips), rng);
            flipSome(symbol, data, between(rng, cls.minFlips, cls.maxFlips), rng);
            break;
        case HuntDamage::PastCapacity: {
            const auto n = static_cast<int>(data.size());
            flipSome(symbol, data, between(rng, n / 4, n / 2), rng);
            break;
        }
        case HuntDamage::RandomAroundCore:
            for (const Module& m : data)
                if (rng() % 2 == 0) flip(symbol, m);
            break;
    }
}

}  // namespace

std::vector<HuntClass> huntClasses() {
    struct Size {
        bool compact;
        int layers;
    };
    const Size sizes[] = {{true, 1}, {true, 2}, {true, 3}, {true, 4}, {false, 1}, {false, 2}, {false, 4}, {false, 8}};
    std::vector<HuntClass> classes;
    for (const Size& s : sizes) {
        const std::string size = (s.compact ? "compact-" : "full-") + std::to_string(s.layers);
        const auto add = [&](const char* what, HuntDamage d, int low, int high) {
            classes.push_back({size + "/" + what, s.compact, s.layers, d, low, high});
        };
        add("mode ring 2-7", HuntDamage::ModeRing, 2, 7);
        add("mode ring 8-12", HuntDamage::ModeRing, 8, 12);
        add("data 1-12", HuntDamage::Data, 1, 12);
        add("mode ring and data 1-6", HuntDamage::ModeRingAndData, 1, 6);
        add("past capacity", HuntDamage::PastCapacity, 0, 0);
        add("random around core", HuntDamage::RandomAroundCore, 0, 0);
    }
    return classes;
}

HuntImage makeHuntImage(const HuntClass& cls, std::mt19937& rng) {
    Encoded encoded = encodeAtSize(cls, rng);
    damage(encoded.symbol, cls, rng);
    talavex_test::RenderOptions render;
    render.moduleSize = between(rng, 3, 4);
    render.quietZone = 3;
    render.angleDegrees = 90.0 * between(rng, 0, 3);
    render.mirror = rng() % 2 == 0;
    // The photo export and the search anywhere take images of 64 pixels a
    // side and more.
    const auto side = static_cast<int>(render.moduleSize) * (encoded.symbol.size + 2 * render.quietZone);
    render.width = std::max(side, 64);
    render.height = render.width;
    HuntImage image;
    image.gray = talavex_test::renderSymbol(encoded.symbol, render);
    image.bgra = talavex_test::toBGRA(image.gray);
    image.text = encoded.text;
    image.hasSymbol = cls.damage != HuntDamage::RandomAroundCore;
    return image;
}

}  // namespace talavex_bench
