#include "reader_read_rate_classes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "support/bullseye.h"

namespace talavex_bench {

using talavex_test::AztecSize;
using talavex_test::AztecSymbol;
using talavex_test::EncodeOptions;
using talavex_test::GrayImage;
using talavex_test::RenderOptions;

namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;

double uniform(std::mt19937& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
int between(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::string randomText(std::mt19937& rng, int longest = 120) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:/-";
    const int length = between(rng, 1, longest);
    std::string text;
    for (int i = 0; i < length; ++i) text += alphabet[rng() % (sizeof alphabet - 1)];
    return text;
}

// A frame of the usual camera size with the symbol drawn as `options` says;
// big symbols get smaller modules so that they fit with their quiet zone.
Sample frame(const AztecSymbol& symbol, RenderOptions options, std::string text) {
    options.width = options.width ? options.width : kFrameWidth;
    options.height = options.height ? options.height : kFrameHeight;
    const double fit = 0.8 * std::min(options.width, options.height) / (symbol.size + 2 * options.quietZone);
    options.moduleSize = std::min(options.moduleSize, std::max(fit, 2.5));
    Sample sample;
    sample.image = talavex_test::renderSymbol(symbol, options);
    sample.text = std::move(text);
    return sample;
}

RenderOptions cameraLook(std::mt19937& rng) {
    RenderOptions options;
    options.moduleSize = uniform(rng, 3.0, 6.0);
    options.angleDegrees = uniform(rng, 0, 360);
    options.mirror = rng() % 2;
    options.noiseSigma = uniform(rng, 0, 6);
    options.seed = rng();
    return options;
}

// A compact or full-range symbol of random text with about half check words.
AztecSymbol randomSymbol(std::mt19937& rng, std::string& text, bool full) {
    EncodeOptions encode;
    encode.size = full ? AztecSize::Full : AztecSize::Compact;
    encode.layers = full ? between(rng, 1, 16) : between(rng, 1, 4);
    text = fitText(randomText(rng), encode);
    return talavex_test::encodeAztec(text, encode);
}

int distanceFromCentre(const AztecSymbol& symbol, int x, int y) {
    const int c = symbol.size / 2;
    return std::max(std::abs(x - c), std::abs(y - c));
}

bool onReferenceLine(const AztecSymbol& symbol, int x, int y) {
    const int c = symbol.size / 2;
    return (x - c) % 16 == 0 || (y - c) % 16 == 0;
}

void flip(AztecSymbol& symbol, int x, int y) {
    std::uint8_t& module = symbol.modules[static_cast<std::size_t>(y) * symbol.size + x];
    module = module ? 0 : 1;
}

// The modules of the mode message: the ring around the bull's-eye less the
// three modules at each corner (the orientation marks) and, on full-range
// symbols, the reference line crossing the middle of each side.
std::vector<std::pair<int, int>> modeMessageModules(const AztecSymbol& symbol, bool full) {
    const int c = symbol.size / 2;
    const int r = full ? 7 : 5;
    const int side = 2 * r + 1;
    std::vector<std::pair<int, int>> modules;
    for (int k = 2; k < side - 2; ++k) {
        if (full && k == r) continue;
        modules.emplace_back(c - r + k, c - r);
        modules.emplace_back(c + r, c - r + k);
        modules.emplace_back(c + r - k, c + r);
        modules.emplace_back(c - r, c + r - k);
    }
    return modules;
}

// Blots a few short runs of reference-line modules outside the core of a
// full-range symbol; the data modules stay as they are, so only the module
// grid the reader fits to the lines is hurt.
void blotReferenceLines(AztecSymbol& symbol, std::mt19937& rng) {
    const int c = symbol.size / 2;
    const int lines = 2 * ((c - 1) / 16) + 1;  // per direction, the centre line included
    const int runs = between(rng, 2, 4);
    for (int run = 0; run < runs; ++run) {
        const int line = c + 16 * (between(rng, 0, lines - 1) - lines / 2);
        const bool horizontal = rng() % 2;
        int along = between(rng, 0, symbol.size - 1);
        for (int tries = 0; tries < 100 && std::abs(along - c) <= 8; ++tries) along = between(rng, 0, symbol.size - 1);
        if (std::abs(along - c) <= 8) continue;
        const int length = between(rng, 1, 3);
        for (int i = 0; i < length; ++i) {
            const int a = along + (along > c ? i : -i);
            if (a < 0 || a >= symbol.size) break;
            const int x = horizontal ? a : line;
            const int y = horizontal ? line : a;
            if (distanceFromCentre(symbol, x, y) > 7) flip(symbol, x, y);
        }
    }
}

ReaderSample offCentreFrame(std::mt19937& rng) {
    std::string text = randomText(rng);
    EncodeOptions encode;
    encode.eccLevel = between(rng, 1, 4);
    const AztecSymbol symbol = talavex_test::encodeAztec(text, encode);
    RenderOptions options = cameraLook(rng);
    options.angleDegrees = 90.0 * (rng() % 4) + uniform(rng, -10, 10);
    options.moduleSize = std::min(options.moduleSize, 0.8 * kFrameHeight / (symbol.size + 2 * options.quietZone));
    // The symbol's far corner lies 1 to 4 modules from the frame's edge, at
    // one edge (the other offset random) or at a corner.
    const double a = options.angleDegrees * 3.14159265358979323846 / 180.0;
    const double half = 0.5 * symbol.size * options.moduleSize * (std::fabs(std::cos(a)) + std::fabs(std::sin(a)));
    const double gap = uniform(rng, 1.0, 4.0) * options.moduleSize;
    const double reachX = kFrameWidth / 2.0 - half - gap;
    const double reachY = kFrameHeight / 2.0 - half - gap;
    const int edge = between(rng, 0, 2);  // 0: left/right, 1: top/bottom, 2: corner
    const double signX = rng() % 2 ? 1.0 : -1.0;
    const double signY = rng() % 2 ? 1.0 : -1.0;
    options.offsetX = edge != 1 ? signX * reachX : uniform(rng, -reachX, reachX);
    options.offsetY = edge != 0 ? signY * reachY : uniform(rng, -reachY, reachY);
    ReaderSample out;
    out.sample = frame(symbol, options, text);
    return out;
}

ReaderSample lightOnDark(std::mt19937& rng) {
    std::string text = randomText(rng);
    EncodeOptions encode;
    encode.eccLevel = between(rng, 1, 4);
    RenderOptions options = cameraLook(rng);
    options.black = between(rng, 190, 255);
    options.white = between(rng, 0, 60);
    ReaderSample out;
    out.sample = frame(talavex_test::encodeAztec(text, encode), options, text);
    return out;
}

// The image is the symbol alone, upright or turned by quarter turns, with
// whole pixels per module.
ReaderSample noMargin(std::mt19937& rng, int pixelsPerModule) {
    std::string text = randomText(rng, 60);
    EncodeOptions encode;
    encode.eccLevel = between(rng, 1, 4);
    RenderOptions options;
    options.moduleSize = pixelsPerModule;
    options.quietZone = 0;
    options.angleDegrees = 90.0 * (rng() % 4);
    options.mirror = rng() % 2;
    options.black = between(rng, 0, 50);
    options.white = between(rng, 200, 255);
    options.noiseSigma = uniform(rng, 0, 4);
    options.seed = rng();
    ReaderSample out;
    out.sample.image = talavex_test::renderSymbol(talavex_test::encodeAztec(text, encode), options);
    out.sample.text = text;
    return out;
}

ReaderSample rune(std::mt19937& rng) {
    const int value = between(rng, 0, 255);
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", value);
    RenderOptions options = cameraLook(rng);
    options.moduleSize = uniform(rng, 3.0, 8.0);
    options.offsetX = uniform(rng, -20, 20);
    options.offsetY = uniform(rng, -20, 20);
    ReaderSample out;
    out.sample = frame(talavex_test::encodeAztecRune(value), options, digits);
    return out;
}

ReaderSample structuredAppend(std::mt19937& rng) {
    std::string text = randomText(rng, 80);
    EncodeOptions encode;
    encode.eccLevel = between(rng, 1, 4);
    encode.structCount = between(rng, 2, 26);
    encode.structIndex = between(rng, 1, encode.structCount);
    static const char idAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int i = between(rng, 0, 1) ? between(rng, 1, 6) : 0; i > 0; --i)
        encode.structId += idAlphabet[rng() % (sizeof idAlphabet - 1)];
    ReaderSample out;
    out.sample = frame(talavex_test::encodeAztec(text, encode), cameraLook(rng), text);
    out.structCount = static_cast<std::uint32_t>(encode.structCount);
    out.structPosition = static_cast<std::uint32_t>(encode.structIndex);
    out.structId = encode.structId;
    return out;
}

ReaderSample damagedReferenceLines(std::mt19937& rng) {
    std::string text;
    AztecSymbol symbol = randomSymbol(rng, text, true);
    blotReferenceLines(symbol, rng);
    RenderOptions options = cameraLook(rng);
    options.moduleSize = uniform(rng, 3.0, 5.0);
    ReaderSample out;
    out.sample = frame(symbol, options, text);
    return out;
}

// A stroke, dark or light, along part of one reference line of a large
// full-range symbol (at least two reference lines on each side of the
// centre), one or two modules wide, such as a pen line or a crease: the line
// loses its alternation there, while the few data modules under it are well
// within the error correction. The finder is left whole.
ReaderSample strokedReferenceLine(std::mt19937& rng) {
    std::string text;
    EncodeOptions encode;
    encode.size = AztecSize::Full;
    encode.layers = between(rng, 12, 22);
    encode.eccLevel = between(rng, 1, 4);
    text = fitText(randomText(rng, 400), encode);
    AztecSymbol symbol = talavex_test::encodeAztec(text, encode);
    const int c = symbol.size / 2;
    const int lines = (c - 1) / 16;  // beyond the centre line, each way
    int k = 0;
    while (k == 0) k = between(rng, -lines, lines);
    const int line = c + 16 * k;
    const bool horizontal = rng() % 2;
    const int length = between(rng, 12, 40);
    const int first = between(rng, 0, symbol.size - length);
    const int width = between(rng, 1, 2);
    const int side = rng() % 2 ? 1 : -1;
    const std::uint8_t ink = rng() % 2;
    for (int a = first; a < first + length; ++a) {
        for (int w = 0; w < width; ++w) {
            const int x = horizontal ? a : line + side * w;
            const int y = horizontal ? line + side * w : a;
            if (distanceFromCentre(symbol, x, y) > 7)
                symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] = ink;
        }
    }
    RenderOptions options = cameraLook(rng);
    options.noiseSigma = uniform(rng, 0, 4);
    ReaderSample out;
    out.sample = frame(symbol, options, text);
    return out;
}

ReaderSample decoyFrame(const AztecSymbol& symbol, std::mt19937& rng) {
    ReaderSample out;
    out.sample = frame(symbol, cameraLook(rng), "");
    out.sample.hasSymbol = false;
    return out;
}

// Valid bull's-eye and orientation marks around a mode message of random
// bits; the data is real.
ReaderSample randomModeBits(std::mt19937& rng) {
    std::string text;
    const bool full = rng() % 2;
    AztecSymbol symbol = randomSymbol(rng, text, full);
    for (const auto& [x, y] : modeMessageModules(symbol, full)) {
        if (rng() % 2) flip(symbol, x, y);
    }
    return decoyFrame(symbol, rng);
}

// An 11 x 11 rune whose ring holds random bits.
ReaderSample randomRuneBits(std::mt19937& rng) {
    AztecSymbol symbol = talavex_test::encodeAztecRune(between(rng, 0, 255));
    for (const auto& [x, y] : modeMessageModules(symbol, false)) {
        if (rng() % 2) flip(symbol, x, y);
    }
    return decoyFrame(symbol, rng);
}

// A valid mode message (and, full-range, reference lines) around random data.
ReaderSample randomData(std::mt19937& rng) {
    std::string text;
    const bool full = rng() % 2;
    AztecSymbol symbol = randomSymbol(rng, text, full);
    for (int y = 0; y < symbol.size; ++y) {
        for (int x = 0; x < symbol.size; ++x) {
            const bool kept =
                distanceFromCentre(symbol, x, y) <= (full ? 7 : 5) || (full && onReferenceLine(symbol, x, y));
            if (!kept) symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] = rng() % 2;
        }
    }
    return decoyFrame(symbol, rng);
}

// Plain images without a symbol: flat, noise, a bare bull's-eye, a cluttered photo.
ReaderSample noSymbol(std::mt19937& rng) {
    ReaderSample out;
    out.sample.hasSymbol = false;
    GrayImage& image = out.sample.image;
    switch (rng() % 4) {
        case 0:
            image =
                talavex_test::blankImage(kFrameWidth, kFrameHeight, static_cast<std::uint8_t>(between(rng, 0, 255)));
            break;
        case 1:
            image = talavex_test::blankImage(kFrameWidth, kFrameHeight, 128);
            talavex_test::addNoise(image, uniform(rng, 20, 80), rng());
            break;
        case 2: {
            image = talavex_test::blankImage(kFrameWidth, kFrameHeight);
            talavex_test::Bullseye bullseye;
            bullseye.cx = kFrameWidth / 2.0 + uniform(rng, -40, 40);
            bullseye.cy = kFrameHeight / 2.0 + uniform(rng, -40, 40);
            bullseye.module = uniform(rng, 3, 8);
            bullseye.rings = rng() % 2 ? 4 : 6;
            bullseye.degrees = uniform(rng, 0, 90);
            talavex_test::paintBullseye(image, bullseye);
            break;
        }
        default:
            image = talavex_test::clutteredPhoto(1280, 960, rng());
            out.sample.photo = true;
            out.sample.bgra = talavex_test::toBGRA(image);
            break;
    }
    return out;
}

}  // namespace

std::string exportedBytes(const ReaderSample& sample) {
    if (sample.structCount == 0) return sample.sample.text;
    std::string header = sample.structId.empty() ? "" : " " + sample.structId + " ";
    header += static_cast<char>('A' + sample.structPosition - 1);
    header += static_cast<char>('A' + sample.structCount - 1);
    return header + sample.sample.text;
}

const std::vector<ReaderClass>& readerClasses() {
    static const std::vector<ReaderClass> classes = {
        {"edge-of-frame", offCentreFrame},
        {"light-on-dark", lightOnDark},
        {"no-margin-1px", [](std::mt19937& r) { return noMargin(r, 1); }},
        {"no-margin-2px", [](std::mt19937& r) { return noMargin(r, 2); }},
        {"no-margin-3px", [](std::mt19937& r) { return noMargin(r, 3); }},
        {"no-margin-4px", [](std::mt19937& r) { return noMargin(r, 4); }},
        {"rune", rune},
        {"structured-append", structuredAppend},
        {"reference-line-damage", damagedReferenceLines},
        {"stroked-reference-line", strokedReferenceLine},
    };
    return classes;
}

const std::vector<ReaderClass>& decoyClasses() {
    static const std::vector<ReaderClass> classes = {
        {"random-mode-bits", randomModeBits},
        {"random-rune-bits", randomRuneBits},
        {"random-data", randomData},
        {"no-symbol", noSymbol},
    };
    return classes;
}

}  // namespace talavex_bench
