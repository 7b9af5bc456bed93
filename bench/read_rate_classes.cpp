#include "read_rate_classes.h"

#include <algorithm>
#include <exception>

namespace talavex_bench {

using talavex_test::AztecSymbol;
using talavex_test::RenderOptions;

namespace {

std::string randomText(std::mt19937& rng) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:/-";
    const std::size_t length = 4 + rng() % 180;
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[rng() % (sizeof alphabet - 1)];
    return text;
}

double uniform(std::mt19937& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }

}  // namespace

std::string fitText(std::string text, const talavex_test::EncodeOptions& encode) {
    if (encode.size == talavex_test::AztecSize::Auto) return text;
    const std::size_t wanted = static_cast<std::size_t>(encode.layers) * encode.layers * 4 + 16;
    while (text.size() < wanted) text += text;
    for (std::size_t length = wanted; length > 1; length = length * 9 / 10) {
        try {
            talavex_test::encodeAztec(text.substr(0, length), encode);
            return text.substr(0, std::max<std::size_t>(1, length / 2));
        } catch (const std::exception&) {
        }
    }
    return text.substr(0, 1);
}

const std::vector<FrameClass>& frameClasses() {
    static const std::vector<FrameClass> classes = {
        {"clean",
         [](RenderOptions& o, std::mt19937& r) {
             o.angleDegrees = 90.0 * (r() % 4);
             o.mirror = r() % 2;
         }},
        {"small-modules", [](RenderOptions& o, std::mt19937& r) { o.moduleSize = uniform(r, 2.5, 3.0); }},
        {"rotation", [](RenderOptions& o, std::mt19937& r) { o.angleDegrees = uniform(r, 0, 360); }},
        {"perspective",
         [](RenderOptions& o, std::mt19937& r) {
             o.tiltX = uniform(r, -0.2, 0.2);
             o.tiltY = uniform(r, -0.2, 0.2);
             o.angleDegrees = uniform(r, 0, 360);
         }},
        {"blur",
         [](RenderOptions& o, std::mt19937& r) {
             o.blurSigma = uniform(r, 0.7, 1.6);
             o.moduleSize = uniform(r, 4, 6);
         }},
        {"noise", [](RenderOptions& o, std::mt19937& r) { o.noiseSigma = uniform(r, 8, 30); }},
        {"low-contrast",
         [](RenderOptions& o, std::mt19937& r) {
             o.black = static_cast<int>(uniform(r, 20, 160));
             o.white = o.black + static_cast<int>(uniform(r, 30, 60));
         }},
        {"off-centre",
         [](RenderOptions& o, std::mt19937& r) {
             o.offsetX = uniform(r, -24, 24);
             o.offsetY = uniform(r, -24, 24);
         }},
        {"large-frame",
         [](RenderOptions& o, std::mt19937& r) {
             const bool hd = r() % 2;
             o.width = hd ? 1920 : 1280;
             o.height = hd ? 1080 : 720;
             o.moduleSize = uniform(r, 3, 8);
         }},
        {"combined",
         [](RenderOptions& o, std::mt19937& r) {
             o.angleDegrees = uniform(r, 0, 360);
             o.tiltX = uniform(r, -0.1, 0.1);
             o.blurSigma = uniform(r, 0.3, 1.0);
             o.noiseSigma = uniform(r, 2, 12);
             o.black = static_cast<int>(uniform(r, 0, 60));
             o.white = static_cast<int>(uniform(r, 170, 255));
             o.offsetX = uniform(r, -16, 16);
             o.mirror = r() % 2;
         }},
    };
    return classes;
}

Sample makeFrame(const FrameClass& cls, std::mt19937& rng) {
    Sample sample;
    sample.text = randomText(rng);
    talavex_test::EncodeOptions encode;
    encode.eccLevel = 1 + static_cast<int>(rng() % 4);
    const AztecSymbol symbol = talavex_test::encodeAztec(sample.text, encode);
    RenderOptions options;
    options.moduleSize = uniform(rng, 3.0, 6.0);
    options.width = 640;
    options.height = 480;
    options.seed = rng();
    cls.tweak(options, rng);
    // Keep the symbol inside the frame: shrink the modules of big symbols.
    const double fit = 0.8 * std::min(options.width, options.height) / (symbol.size + 2 * options.quietZone);
    options.moduleSize = std::min(options.moduleSize, std::max(fit, 2.5));
    sample.image = talavex_test::renderSymbol(symbol, options);
    return sample;
}

const std::vector<PhotoClass>& photoClasses() {
    static const std::vector<PhotoClass> classes = {
        {"off-centre", [](PhotoPlan& p, std::mt19937&) { p.nearCorner = 0.15; }},
        {"small-modules",
         [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.moduleSize = uniform(r, 1.5, 2.0);
             p.scene.render.blurSigma = uniform(r, 0.3, 0.5);
         }},
        {"rotation", [](PhotoPlan& p, std::mt19937& r) { p.scene.render.angleDegrees = uniform(r, 0, 360); }},
        {"perspective",
         [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.tiltX = uniform(r, -0.4, 0.4);
             p.scene.render.tiltY = uniform(r, -0.4, 0.4);
         }},
        {"blur",
         [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.moduleSize = uniform(r, 3.5, 5.0);
             p.scene.render.blurSigma = uniform(r, 0.8, 2.0);
         }},
        {"noise", [](PhotoPlan& p, std::mt19937& r) { p.scene.sensorNoise = uniform(r, 8, 35); }},
        {"jpeg",
         [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.moduleSize = uniform(r, 2.0, 4.0);
             p.scene.jpegQuality = static_cast<int>(uniform(r, 10, 60));
         }},
        {"uneven-lighting",
         [](PhotoPlan& p, std::mt19937& r) {
             p.scene.darkest = uniform(r, 0.25, 0.6);
             p.scene.shadowDepth = uniform(r, 0.5, 0.8);
             p.scene.shadowAngle = uniform(r, 0, 360);
             p.scene.shadowOffset = uniform(r, -20, 20);
         }},
        {"compact",
         [](PhotoPlan& p, std::mt19937& r) {
             p.encode.size = talavex_test::AztecSize::Compact;
             p.encode.layers = 1 + static_cast<int>(r() % 4);
             p.scene.render.moduleSize = uniform(r, 2.0, 4.0);
         }},
        {"full-range",
         [](PhotoPlan& p, std::mt19937& r) {
             p.encode.size = talavex_test::AztecSize::Full;
             p.encode.layers = 1 + static_cast<int>(r() % 32);
             p.scene.render.moduleSize = uniform(r, 2.0, 3.5);
         }},
        {"large-photo",
         [](PhotoPlan& p, std::mt19937& r) {
             p.scene.width = 4032;
             p.scene.height = 3024;
             p.scene.render.moduleSize = uniform(r, 4.0, 12.0);
             p.scene.render.blurSigma = uniform(r, 0.5, 1.5);
         }},
        {"no-symbol",
         [](PhotoPlan& p, std::mt19937& r) {
             p.symbol = false;
             p.scene.sensorNoise = uniform(r, 0, 10);
             if (r() % 4 == 0) {
                 p.scene.width = 4032;
                 p.scene.height = 3024;
             }
         }},
    };
    return classes;
}

Sample makePhoto(const PhotoClass& cls, std::mt19937& rng) {
    PhotoPlan plan;
    plan.scene.backgroundSeed = rng();
    plan.scene.render.moduleSize = uniform(rng, 2.5, 4.0);
    plan.scene.render.angleDegrees = uniform(rng, 0, 360);
    plan.scene.render.blurSigma = uniform(rng, 0.3, 0.7);
    plan.scene.render.noiseSigma = 2.0;
    plan.scene.render.seed = rng();
    plan.encode.eccLevel = 1 + static_cast<int>(rng() % 4);
    std::string text = randomText(rng);
    cls.tweak(plan, rng);

    Sample sample;
    sample.photo = true;
    sample.hasSymbol = plan.symbol;
    if (plan.symbol) {
        if (plan.encode.size != talavex_test::AztecSize::Auto) plan.encode.eccLevel = 0;
        sample.text = fitText(text, plan.encode);
        const AztecSymbol symbol = talavex_test::encodeAztec(sample.text, plan.encode);
        talavex_test::PhotoScene& scene = plan.scene;
        // Big symbols get smaller modules so that they fit comfortably, and
        // shrink further where the class's placement leaves them no room.
        const int side = std::min(scene.width, scene.height);
        scene.render.moduleSize =
            std::min(scene.render.moduleSize, 0.6 * side / (symbol.size + 2 * scene.render.quietZone));
        bool placed = false;
        while (!placed) {
            for (int attempt = 0; attempt < 200 && !placed; ++attempt) {
                scene.centreX = uniform(rng, 0, scene.width);
                scene.centreY = uniform(rng, 0, scene.height);
                const bool edgeOk =
                    plan.nearCorner <= 0.0 ||
                    (std::min(scene.centreX, scene.width - scene.centreX) < plan.nearCorner * scene.width &&
                     std::min(scene.centreY, scene.height - scene.centreY) < plan.nearCorner * scene.height);
                placed = edgeOk && talavex_test::symbolFits(symbol, scene.render, scene.centreX, scene.centreY,
                                                            scene.width, scene.height);
            }
            if (!placed) scene.render.moduleSize *= 0.9;
        }
        sample.image = talavex_test::composePhoto(&symbol, scene);
    } else {
        sample.image = talavex_test::composePhoto(nullptr, plan.scene);
    }
    sample.bgra = talavex_test::toBGRA(sample.image);
    return sample;
}

}  // namespace talavex_bench
