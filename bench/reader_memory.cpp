// Peak memory of the reader API: how far one talavex_read call's resident
// high-water mark climbs above the resident size at the call, the input
// already in memory, with the default options and with inverted on, for two
// builds of the shared library loaded with dlopen() from the files named on
// the command line (a baseline and the current tree, as the reader-cost
// report takes them).
//
// Each call runs in a fresh process (this program run again with
// `--memory-child LIBRARY SCENARIO OPTIONS`): the child makes the image,
// loads the build, hands back what making the image freed (malloc_trim),
// resets the high-water mark to the present resident size (clear_refs "5"),
// reads getrusage's ru_maxrss and VmRSS, makes the one call, and reads
// ru_maxrss again. The rise is ru_maxrss after the call less VmRSS before
// it. VmHWM (the same mark from /proc) is read as a cross-check (a note when
// the two differ by more than 256 KiB); the child fails when the reset did
// not take (ru_maxrss before the call then exceeds VmRSS by more than 256
// KiB), so a rise hidden under the image making's own peak is never
// reported. The kernel's resident counters are approximate by a few hundred
// KiB, so a call that allocates nearly nothing may show a small negative rise.
//
// The target: a rise of at most one gray copy of the input plus 16 MiB on
// any image up to 12 megapixels.
//
//   talavex_reader_memory BASELINE.so CURRENT.so [--only NAME-PREFIX] [--timeout S]
//
// The two builds must be two files, not two names of one. Exits 1 when a
// measurement failed, 2 on bad options.
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/hostile_images.h"
#include "reader_library.h"
#include "self_child.h"
#include "support/aztec_encoder.h"
#include "support/bullseye.h"
#include "support/photo_scene.h"
#include "support/render.h"

namespace {

using talavex_bench::ChildRun;
using talavex_bench::runSelf;
using talavex_bench::statusKiB;

using talavex_bench::ReaderLibrary;
using talavex_bench::ReadOptions;
using talavex_test::GrayImage;

// What the clean symbol holds.
const char kCleanText[] =
    "talavex reader memory: a clean full-range symbol, libzint-encoded, rendered at six pixels a module "
    "in the middle of a 4000 x 3000 frame.";

GrayImage cleanSymbol() {
    const talavex_test::AztecSymbol symbol = talavex_test::encodeAztec(std::string(kCleanText));
    talavex_test::RenderOptions options;
    options.width = 4000;
    options.height = 3000;
    options.moduleSize = 6.0;
    options.noiseSigma = 2.0;
    options.seed = 7;
    return talavex_test::renderSymbol(symbol, options);
}

// Cells of 64 pixels over the whole frame, each the same full-range
// bull's-eye (six rings at 4 pixels a module) with a light margin: the
// reader-cost report's 2048 x 2048 tile, extended to 4000 x 3000.
GrayImage bullseyeTile(int width, int height) {
    constexpr int cell = 64;
    GrayImage tile = talavex_test::blankImage(cell, cell);
    talavex_test::Bullseye bullseye;
    bullseye.cx = bullseye.cy = (cell - 1) / 2.0;
    bullseye.module = 4.0;
    bullseye.rings = 6;
    talavex_test::paintBullseye(tile, bullseye);
    GrayImage image = talavex_test::blankImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[static_cast<std::size_t>(y) * width + x] = tile.at(x % cell, y % cell);
    return image;
}

// The same tile with light and dark swapped: every finder is light in the
// middle, so the light-on-dark passes run after the others, and nothing reads.
GrayImage lightOnDarkTile(int width, int height) {
    GrayImage image = bullseyeTile(width, height);
    for (std::uint8_t& p : image.pixels) p = static_cast<std::uint8_t>(255 - p);
    return image;
}

// The clean symbol light on dark, off the middle of a cluttered photo: the
// light-on-dark search at the finders reads it.
GrayImage lightOnDarkSymbol() {
    const talavex_test::AztecSymbol symbol = talavex_test::encodeAztec(std::string(kCleanText));
    talavex_test::PhotoScene scene;
    scene.width = 4000;
    scene.height = 3000;
    scene.backgroundSeed = 21;
    scene.centreX = 1000;
    scene.centreY = 800;
    scene.render.moduleSize = 6.0;
    scene.render.black = 240;
    scene.render.white = 15;
    return talavex_test::composePhoto(&symbol, scene);
}

// The clean symbol at twelve pixels a module, left of the middle, with the
// top and right sides of its mode message flipped: the search finds its
// bull's-eye, cannot read the mode, and enlarges a crop around it, a crop
// of nearly 2000 pixels a side at twice its size.
GrayImage unreadableModeLargeModules() {
    talavex_test::AztecSymbol symbol = talavex_test::encodeAztec(std::string(kCleanText));
    const int c = symbol.size / 2;
    const int ring = 7;  // the mode message of a full-range symbol, around its 13-module finder
    for (int i = -5; i <= 5; ++i)
        for (const int index : {(c - ring) * symbol.size + c + i, (c + i) * symbol.size + c + ring})
            symbol.modules[static_cast<std::size_t>(index)] ^= 1u;
    talavex_test::RenderOptions options;
    options.width = 4000;
    options.height = 3000;
    options.moduleSize = 12.0;
    options.offsetX = -1000;
    options.noiseSigma = 2.0;
    options.seed = 9;
    return talavex_test::renderSymbol(symbol, options);
}

struct Scenario {
    const char* name;
    int width;
    int height;
    std::function<GrayImage()> make;
    const char* text;  // what it holds; nullptr: no symbol
    bool lightOnDark;  // the symbol reads only with inverted on
};

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> all = {
        {"clean symbol 4000x3000", 4000, 3000, cleanSymbol, kCleanText, false},
        {"bull's-eye tile 4000x3000", 4000, 3000, [] { return bullseyeTile(4000, 3000); }, nullptr, false},
        {"noise 4000x3000", 4000, 3000, [] { return talavex_e2e::noise(4000, 3000, 11); }, nullptr, false},
        {"cluttered photo 4000x3000", 4000, 3000, [] { return talavex_test::clutteredPhoto(4000, 3000, 21); }, nullptr,
         false},
        {"flat 4000x3000", 4000, 3000, [] { return talavex_test::blankImage(4000, 3000, 128); }, nullptr, false},
        {"light-on-dark tile 4000x3000", 4000, 3000, [] { return lightOnDarkTile(4000, 3000); }, nullptr, false},
        {"light-on-dark symbol 4000x3000", 4000, 3000, lightOnDarkSymbol, kCleanText, true},
        {"unreadable mode, 12 px modules 4000x3000", 4000, 3000, unreadableModeLargeModules, kCleanText, false},
        {"noise 1920x1080", 1920, 1080, [] { return talavex_e2e::noise(1920, 1080, 12); }, nullptr, false},
    };
    return all;
}

const Scenario* findScenario(const std::string& name) {
    for (const Scenario& s : scenarios())
        if (name == s.name) return &s;
    return nullptr;
}

long maxrssKiB() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
    return usage.ru_maxrss;  // KiB on Linux
}

// In the child: prints "rise-by-ru_maxrss rise-by-VmHWM rss-before answer".
int runChild(const std::string& libraryPath, const std::string& scenarioName, const std::string& mode) {
    const Scenario* s = findScenario(scenarioName);
    if (!s || (mode != "default" && mode != "inverted")) return 2;
    try {
        const GrayImage gray = s->make();
        const ReaderLibrary library(libraryPath);
        talavex_image image{};
        image.pixels = gray.pixels.data();
        image.width = static_cast<std::uint32_t>(gray.width);
        image.height = static_cast<std::uint32_t>(gray.height);
        image.stride = static_cast<std::uint32_t>(gray.width);
        image.format = TALAVEX_GRAY8;
        ReadOptions options;  // the defaults: where auto, one symbol, no budget
        options.inverted = mode == "inverted";
        malloc_trim(0);
        {
            std::ofstream reset("/proc/self/clear_refs");
            reset << "5";
            reset.flush();
            if (!reset) {
                std::fprintf(stderr, "cannot reset the high-water mark\n");
                return 1;
            }
        }
        const long before = statusKiB("VmRSS");
        const long maxBefore = maxrssKiB();
        // Slack for the pages the two reads above touched.
        if (before < 0 || maxBefore < 0 || maxBefore > before + 256) {
            std::fprintf(stderr, "ru_maxrss %ld KiB above VmRSS %ld KiB before the call\n", maxBefore, before);
            return 1;
        }
        const std::string answer = library.read(image, options);
        const long maxAfter = maxrssKiB();
        const long hwmAfter = statusKiB("VmHWM");
        if (maxAfter < 0 || hwmAfter < 0) return 1;
        const char* verdict = answer == "F"                                                        ? "failed"
                              : answer.empty()                                                     ? "none"
                              : s->text != nullptr && answer == talavex_bench::readAnswer(s->text) ? "read"
                                                                                                   : "WRONG";
        std::printf("%ld %ld %ld %s\n", maxAfter - before, hwmAfter - before, before, verdict);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}

struct Measurement {
    bool ok = false;
    long riseKiB = 0;  // by ru_maxrss
    long hwmRiseKiB = 0;
    long beforeKiB = 0;
    std::string verdict;
    std::string failure;
};

Measurement measure(const std::string& self, const std::string& library, const std::string& scenario,
                    const std::string& mode, int timeoutSeconds) {
    Measurement m;
    const ChildRun run =
        runSelf(self, {"--memory-child", library, scenario, mode}, static_cast<unsigned>(timeoutSeconds));
    if (!run.failure.empty()) {
        m.failure = run.failure;
        return m;
    }
    if (run.signal != 0) {
        m.failure = run.signal == SIGALRM ? "timeout" : "signal " + std::to_string(run.signal);
        return m;
    }
    if (!run.exited || run.exitCode != 0) {
        m.failure = "exit " + std::to_string(run.exitCode);
        return m;
    }
    const std::string& output = run.output;
    char verdict[32] = {0};
    if (std::sscanf(output.c_str(), "%ld %ld %ld %31s", &m.riseKiB, &m.hwmRiseKiB, &m.beforeKiB, verdict) != 4) {
        m.failure = "no output";
        return m;
    }
    m.verdict = verdict;
    m.ok = true;
    return m;
}

// "12.3 MiB" or "812 KiB", and the multiple of the input.
std::string cell(const Measurement& m, double inputKiB) {
    if (!m.ok) return m.failure;
    char text[64];
    if (m.riseKiB >= 1024)
        std::snprintf(text, sizeof text, "%.1f MiB %.2fx", m.riseKiB / 1024.0, m.riseKiB / inputKiB);
    else
        std::snprintf(text, sizeof text, "%ld KiB %.2fx", m.riseKiB, m.riseKiB / inputKiB);
    return text;
}

bool meets(const Measurement& m, double inputKiB) { return m.ok && m.riseKiB <= inputKiB + 16.0 * 1024.0; }

std::string selfPath(const char* argv0) {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return argv0;
    path[n] = '\0';
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--memory-child") return runChild(argv[2], argv[3], argv[4]);

    std::vector<std::string> libraries;
    std::vector<std::string> only;
    int timeoutSeconds = 600;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--only" && i + 1 < argc) {
            only.push_back(argv[++i]);
        } else if (arg == "--timeout" && i + 1 < argc) {
            timeoutSeconds = std::atoi(argv[++i]);
        } else if (!arg.empty() && arg[0] != '-') {
            libraries.push_back(arg);
        } else {
            std::fprintf(stderr, "usage: %s BASELINE.so CURRENT.so [--only PREFIX] [--timeout S]\n", argv[0]);
            return 2;
        }
    }
    if (libraries.size() != 2 || timeoutSeconds <= 0) {
        std::fprintf(stderr, "usage: %s BASELINE.so CURRENT.so [--only PREFIX] [--timeout S]\n", argv[0]);
        return 2;
    }
    const std::string self = selfPath(argv[0]);
    for (const std::string& path : libraries) {
        try {
            ReaderLibrary check(path);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }

    std::printf(
        "Peak resident rise of one talavex_read call (getrusage ru_maxrss in a fresh child,\n"
        "less VmRSS just before the call, the gray input already resident), GRAY8 input;\n"
        "each cell: the rise and its multiple of the gray input. Target: rise <= input + 16 MiB.\n");
    std::printf("baseline: %s\ncurrent:  %s\n\n", libraries[0].c_str(), libraries[1].c_str());
    std::printf("%-30s %9s | %-17s %-17s | %-17s %-17s | %-10s | %-13s %s\n", "scenario", "input MiB",
                "baseline default", "current default", "baseline inverted", "current inverted", "target MiB",
                "baseline meets", "current meets");
    std::printf("%s\n", std::string(172, '-').c_str());
    bool failed = false;
    std::vector<std::string> notes;
    for (const Scenario& s : scenarios()) {
        bool wanted = only.empty();
        for (const std::string& prefix : only) wanted = wanted || std::string(s.name).rfind(prefix, 0) == 0;
        if (!wanted) continue;
        const double inputKiB = static_cast<double>(s.width) * s.height / 1024.0;
        Measurement m[4];  // baseline default, current default, baseline inverted, current inverted
        const char* modes[2] = {"default", "inverted"};
        for (int mode = 0; mode < 2; ++mode)
            for (int lib = 0; lib < 2; ++lib) {
                Measurement& r = m[mode * 2 + lib];
                r = measure(self, libraries[lib], s.name, modes[mode], timeoutSeconds);
                failed = failed || !r.ok;
                const char* who = lib == 0 ? "baseline" : "current";
                if (r.ok) {
                    const bool readable = s.text != nullptr && (!s.lightOnDark || mode == 1);
                    const bool expected = readable ? r.verdict == "read" : r.verdict == "none";
                    if (!expected)
                        notes.push_back(std::string(s.name) + ", " + who + " " + modes[mode] + ": answer " + r.verdict);
                    const long gap = r.riseKiB - r.hwmRiseKiB;
                    if (gap > 256 || gap < -256)
                        notes.push_back(std::string(s.name) + ", " + who + " " + modes[mode] + ": VmHWM rise " +
                                        std::to_string(r.hwmRiseKiB) + " KiB differs");
                } else {
                    notes.push_back(std::string(s.name) + ", " + who + " " + modes[mode] + ": " + r.failure);
                }
            }
        auto verdict = [&](const Measurement& def, const Measurement& inv) {
            const bool d = meets(def, inputKiB);
            const bool i = meets(inv, inputKiB);
            return d && i ? "yes" : d ? "default only" : i ? "inverted only" : "no";
        };
        std::printf("%-30s %9.1f | %-17s %-17s | %-17s %-17s | %10.1f | %-13s %s\n", s.name, inputKiB / 1024.0,
                    cell(m[0], inputKiB).c_str(), cell(m[1], inputKiB).c_str(), cell(m[2], inputKiB).c_str(),
                    cell(m[3], inputKiB).c_str(), inputKiB / 1024.0 + 16.0, verdict(m[0], m[2]), verdict(m[1], m[3]));
        std::fflush(stdout);
    }
    std::printf(
        "\nResident before the call (input, program and library) is not counted; "
        "answers: a read of the clean symbol (the light-on-dark one with inverted on), nothing elsewhere, "
        "unless noted.\n");
    for (const std::string& note : notes) std::printf("note: %s\n", note.c_str());
    return failed ? 1 : 0;
}
