// Read-rate report: renders a fixed, seeded set of distorted frames (and
// photos) per distortion class, reads each through the public interface, and
// prints the read rate per class and overall with the median and worst time.
//
//   talavex_read_rate [--frames-per-class N] [--photos-per-class N] [--seed S] [--per-image]
//
// --per-image prints, instead of the table, one line per image with what each
// of the three exports returns for it, escaped, so that the output of two
// builds can be compared with diff.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/photo_scene.h"
#include "support/aztec_encoder.h"
#include "support/render.h"
#include "talavex/talavex.h"

namespace {

using talavex_test::AztecSymbol;
using talavex_test::GrayImage;
using talavex_test::RenderOptions;
using Clock = std::chrono::steady_clock;

struct Sample {
    GrayImage image;
    std::string text;
    bool photo = false;
    bool hasSymbol = true;
    std::vector<std::uint8_t> bgra;  // photos: converted before the clock starts
};

struct ClassStats {
    int total = 0;
    int read = 0;
    int wrong = 0;  // a text came back, but not the encoded one
    std::vector<double> millis;
};

std::string randomText(std::mt19937& rng) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:/-";
    const std::size_t length = 4 + rng() % 180;
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[rng() % (sizeof alphabet - 1)];
    return text;
}

double uniform(std::mt19937& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }

using Tweak = std::function<void(RenderOptions&, std::mt19937&)>;

struct FrameClass {
    const char* name;
    Tweak tweak;
};

const std::vector<FrameClass>& frameClasses() {
    static const std::vector<FrameClass> classes = {
        {"clean", [](RenderOptions& o, std::mt19937& r) { o.angleDegrees = 90.0 * (r() % 4); o.mirror = r() % 2; }},
        {"small-modules", [](RenderOptions& o, std::mt19937& r) { o.moduleSize = uniform(r, 2.5, 3.0); }},
        {"rotation", [](RenderOptions& o, std::mt19937& r) { o.angleDegrees = uniform(r, 0, 360); }},
        {"perspective", [](RenderOptions& o, std::mt19937& r) {
             o.tiltX = uniform(r, -0.2, 0.2);
             o.tiltY = uniform(r, -0.2, 0.2);
             o.angleDegrees = uniform(r, 0, 360);
         }},
        {"blur", [](RenderOptions& o, std::mt19937& r) { o.blurSigma = uniform(r, 0.7, 1.6); o.moduleSize = uniform(r, 4, 6); }},
        {"noise", [](RenderOptions& o, std::mt19937& r) { o.noiseSigma = uniform(r, 8, 30); }},
        {"low-contrast", [](RenderOptions& o, std::mt19937& r) {
             o.black = static_cast<int>(uniform(r, 20, 160));
             o.white = o.black + static_cast<int>(uniform(r, 30, 60));
         }},
        {"off-centre", [](RenderOptions& o, std::mt19937& r) { o.offsetX = uniform(r, -24, 24); o.offsetY = uniform(r, -24, 24); }},
        {"large-frame", [](RenderOptions& o, std::mt19937& r) {
             const bool hd = r() % 2;
             o.width = hd ? 1920 : 1280;
             o.height = hd ? 1080 : 720;
             o.moduleSize = uniform(r, 3, 8);
         }},
        {"combined", [](RenderOptions& o, std::mt19937& r) {
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

// Photos: one symbol (or none) somewhere in a cluttered 1280 x 960 photo
// unless the class says otherwise; see tests/support/photo_scene.h.
struct PhotoPlan {
    talavex_test::PhotoScene scene;
    talavex_test::EncodeOptions encode;
    bool symbol = true;
    double nearCorner = 0.0;  // > 0: centre within this fraction of the width and of the height from a corner
};

using PhotoTweak = std::function<void(PhotoPlan&, std::mt19937&)>;

struct PhotoClass {
    const char* name;
    PhotoTweak tweak;
};

const std::vector<PhotoClass>& photoClasses() {
    static const std::vector<PhotoClass> classes = {
        {"off-centre", [](PhotoPlan& p, std::mt19937&) { p.nearCorner = 0.15; }},
        {"small-modules", [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.moduleSize = uniform(r, 1.5, 2.0);
             p.scene.render.blurSigma = uniform(r, 0.3, 0.5);
         }},
        {"rotation", [](PhotoPlan& p, std::mt19937& r) { p.scene.render.angleDegrees = uniform(r, 0, 360); }},
        {"perspective", [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.tiltX = uniform(r, -0.4, 0.4);
             p.scene.render.tiltY = uniform(r, -0.4, 0.4);
         }},
        {"blur", [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.moduleSize = uniform(r, 3.5, 5.0);
             p.scene.render.blurSigma = uniform(r, 0.8, 2.0);
         }},
        {"noise", [](PhotoPlan& p, std::mt19937& r) { p.scene.sensorNoise = uniform(r, 8, 35); }},
        {"jpeg", [](PhotoPlan& p, std::mt19937& r) {
             p.scene.render.moduleSize = uniform(r, 2.0, 4.0);
             p.scene.jpegQuality = static_cast<int>(uniform(r, 10, 60));
         }},
        {"uneven-lighting", [](PhotoPlan& p, std::mt19937& r) {
             p.scene.darkest = uniform(r, 0.25, 0.6);
             p.scene.shadowDepth = uniform(r, 0.5, 0.8);
             p.scene.shadowAngle = uniform(r, 0, 360);
             p.scene.shadowOffset = uniform(r, -20, 20);
         }},
        {"compact", [](PhotoPlan& p, std::mt19937& r) {
             p.encode.size = talavex_test::AztecSize::Compact;
             p.encode.layers = 1 + static_cast<int>(r() % 4);
             p.scene.render.moduleSize = uniform(r, 2.0, 4.0);
         }},
        {"full-range", [](PhotoPlan& p, std::mt19937& r) {
             p.encode.size = talavex_test::AztecSize::Full;
             p.encode.layers = 1 + static_cast<int>(r() % 32);
             p.scene.render.moduleSize = uniform(r, 2.0, 3.5);
         }},
        {"large-photo", [](PhotoPlan& p, std::mt19937& r) {
             p.scene.width = 4032;
             p.scene.height = 3024;
             p.scene.render.moduleSize = uniform(r, 4.0, 12.0);
             p.scene.render.blurSigma = uniform(r, 0.5, 1.5);
         }},
        {"no-symbol", [](PhotoPlan& p, std::mt19937& r) {
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

// Text for a forced symbol kind and layer count: the random text repeated or
// cut to half of what zint fits into those layers, so that, as with zint's
// default error correction, about half of the codewords are check words.
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

std::string readSample(const Sample& sample) {
    char* raw = nullptr;
    if (sample.photo) {
        raw = recognizePhotoBGRA(sample.bgra.data(), sample.image.width, sample.image.height);
    } else {
        raw = recognizeY(sample.image.pixels.data(), sample.image.width, sample.image.height);
    }
    std::string text = raw ? raw : "<null>";
    std::free(raw);
    return text;
}

std::string escaped(const char* raw) {
    if (!raw) return "<null>";
    std::string out = "\"";
    for (const char* p = raw; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c < 0x7f && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

std::string exportResult(char* raw) {
    std::string text = escaped(raw);
    std::free(raw);
    return text;
}

void printPerImage(const std::string& name, int index, const Sample& sample) {
    const GrayImage& image = sample.image;
    const std::vector<std::uint8_t> bgra = sample.photo ? sample.bgra : talavex_test::toBGRA(image);
    const std::string y = exportResult(recognizeY(image.pixels.data(), image.width, image.height));
    const std::string frame = exportResult(recognizeBGRA(bgra.data(), image.width, image.height));
    const std::string photo = exportResult(recognizePhotoBGRA(bgra.data(), image.width, image.height));
    std::printf("%s %d y=%s bgra=%s photo=%s\n", name.c_str(), index, y.c_str(), frame.c_str(), photo.c_str());
}

double percentile(std::vector<double> values, double q) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * (values.size() - 1) + 0.5)];
}

void measure(const Sample& sample, ClassStats& stats) {
    const auto start = Clock::now();
    const std::string got = readSample(sample);
    stats.millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    ++stats.total;
    // Without a symbol, "read" is the empty answer and any other one is wrong.
    if (got == sample.text) ++stats.read;
    else if (!got.empty()) ++stats.wrong;
}

void add(ClassStats& total, const ClassStats& part) {
    total.total += part.total;
    total.read += part.read;
    total.wrong += part.wrong;
    total.millis.insert(total.millis.end(), part.millis.begin(), part.millis.end());
}

void printRow(const std::string& name, const ClassStats& s) {
    std::printf("%-22s %5d %5d %6.1f%% %5d %9.1f %9.1f\n", name.c_str(), s.total, s.read,
                s.total ? 100.0 * s.read / s.total : 0.0, s.wrong, percentile(s.millis, 0.5),
                s.millis.empty() ? 0.0 : *std::max_element(s.millis.begin(), s.millis.end()));
}

}  // namespace

int main(int argc, char** argv) {
    int framesPerClass = 30;
    int photosPerClass = 10;
    std::uint32_t seed = 20261208;
    bool perImage = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--per-image") == 0) perImage = true;
        else if (hasValue && std::strcmp(argv[i], "--frames-per-class") == 0) framesPerClass = std::atoi(argv[++i]);
        else if (hasValue && std::strcmp(argv[i], "--photos-per-class") == 0) photosPerClass = std::atoi(argv[++i]);
        else if (hasValue && std::strcmp(argv[i], "--seed") == 0)
            seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    }

    if (!perImage)
        std::printf("%-22s %5s %5s %7s %5s %9s %9s\n", "class", "n", "read", "rate", "wrong", "median-ms", "worst-ms");
    ClassStats frames;
    std::uint32_t classSeed = seed;
    for (const FrameClass& cls : frameClasses()) {
        std::mt19937 rng(classSeed++);
        ClassStats stats;
        const std::string name = std::string("frame/") + cls.name;
        for (int i = 0; i < framesPerClass; ++i) {
            const Sample sample = makeFrame(cls, rng);
            if (perImage) printPerImage(name, i, sample);
            else measure(sample, stats);
        }
        if (perImage) continue;
        printRow(name, stats);
        add(frames, stats);
    }
    if (!perImage) printRow("frames overall", frames);

    if (photosPerClass <= 0) return 0;
    ClassStats withSymbol;
    ClassStats withoutSymbol;
    std::uint32_t photoSeed = seed + 1000;
    for (const PhotoClass& cls : photoClasses()) {
        std::mt19937 rng(photoSeed++);
        ClassStats stats;
        bool hasSymbol = true;
        const std::string name = std::string("photo/") + cls.name;
        for (int i = 0; i < photosPerClass; ++i) {
            const Sample sample = makePhoto(cls, rng);
            hasSymbol = sample.hasSymbol;
            if (perImage) printPerImage(name, i, sample);
            else measure(sample, stats);
        }
        if (perImage) continue;
        printRow(name, stats);
        add(hasSymbol ? withSymbol : withoutSymbol, stats);
    }
    if (perImage) return 0;
    printRow("photos with symbol", withSymbol);
    printRow("photos without symbol", withoutSymbol);
    return 0;
}
