// Read-rate report: renders a fixed, seeded set of distorted frames (and
// photos) per distortion class, reads each through the public interface, and
// prints the read rate per class and overall with the median and worst time.
//
//   talavex_read_rate [--frames-per-class N] [--photos-per-class N] [--seed S]
//
// Exits 1 when an export returned a text other than the encoded one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "read_rate_classes.h"
#include "talavex/talavex.h"

namespace {

using talavex_bench::FrameClass;
using talavex_bench::frameClasses;
using talavex_bench::PhotoClass;
using talavex_bench::photoClasses;
using talavex_bench::Sample;
using Clock = std::chrono::steady_clock;

struct ClassStats {
    int total = 0;
    int read = 0;
    int wrong = 0;  // a text came back, but not the encoded one
    std::vector<double> millis;
};

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
    if (got == sample.text)
        ++stats.read;
    else if (!got.empty())
        ++stats.wrong;
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
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames-per-class") == 0)
            framesPerClass = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--photos-per-class") == 0)
            photosPerClass = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0)
            seed = static_cast<std::uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    }

    std::printf("%-22s %5s %5s %7s %5s %9s %9s\n", "class", "n", "read", "rate", "wrong", "median-ms", "worst-ms");
    ClassStats frames;
    std::uint32_t classSeed = seed;
    for (const FrameClass& cls : frameClasses()) {
        std::mt19937 rng(classSeed++);
        ClassStats stats;
        for (int i = 0; i < framesPerClass; ++i) measure(makeFrame(cls, rng), stats);
        printRow(std::string("frame/") + cls.name, stats);
        add(frames, stats);
    }
    printRow("frames overall", frames);

    if (photosPerClass <= 0) return frames.wrong > 0 ? 1 : 0;
    ClassStats withSymbol;
    ClassStats withoutSymbol;
    std::uint32_t photoSeed = seed + 1000;
    for (const PhotoClass& cls : photoClasses()) {
        std::mt19937 rng(photoSeed++);
        ClassStats stats;
        bool hasSymbol = true;
        for (int i = 0; i < photosPerClass; ++i) {
            const Sample sample = makePhoto(cls, rng);
            hasSymbol = sample.hasSymbol;
            measure(sample, stats);
        }
        printRow(std::string("photo/") + cls.name, stats);
        add(hasSymbol ? withSymbol : withoutSymbol, stats);
    }
    printRow("photos with symbol", withSymbol);
    printRow("photos without symbol", withoutSymbol);
    return frames.wrong + withSymbol.wrong + withoutSymbol.wrong > 0 ? 1 : 0;
}
