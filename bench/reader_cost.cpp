// What the reader API costs, on every kind of image it meets, against the
// exports on the same images, in one run: one build of the library or two
// (an old search and a new one behind the same API), loaded with dlopen().
// Per image and build four calls are timed: recognizeY on the gray plane,
// recognizePhotoBGRA on BGRA pixels (images of 64 x 64 and more), and
// talavex_read with the default options (where auto, one symbol) and with
// inverted on. Times are the calls' own CPU time (the library starts no
// threads, and the machine is shared), the fastest of --reps calls, the
// builds taking turns and the first turn alternating from image to image.
// Images of 16 megapixels and more run each call once, in a child process
// given --timeout seconds of CPU time.
//
// The images: every class of the reader read-rate report, drawn from its
// seeds (frames, photos with and without a symbol, the reader's classes, the
// grain classes, the decoys); the speed report's clean, damaged and empty
// frames and its worst cases; pages of print without a symbol from 640 x 480
// to 12 megapixels; and the reader's worst cases (noise, flat frames, tiles
// of bull's-eyes and rings, blurred and damaged symbols it cannot read,
// runes). Every image knows what it holds, so each call's answer is a read,
// a wrong read (other bytes, or any read of an image without a symbol), no
// answer, or a failure. See reader_cost_tables.h for what is printed.
//
//   talavex_reader_cost [options] CURRENT.so
//   talavex_reader_cost [options] BASELINE.so CURRENT.so
//     --frames N --photos N --reader N --grain N --decoys N   read-rate classes, images per class
//     --clean N --damaged N --empty N                          speed report classes
//     --pages N --worst N                                       print pages, the reader's worst cases
//     --no-worst          without any worst case or the size series
//     --huge              with the 2 GiB images (planes, a 46340 x 46340 frame)
//     --only PREFIX       only the classes whose name starts with PREFIX (repeatable)
//     --reps N            calls per image, call and build (default 3)
//     --timeout S         CPU time limit of an isolated call (default 120)
//     --seed S
//
// Two builds must be two files, not two names of one (the loader would load
// it once). Exits 1 when a build cannot be loaded, 2 on bad options.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "reader_cost_classes.h"
#include "reader_cost_tables.h"
#include "reader_library.h"
#include "speed_timing.h"

namespace {

using talavex_bench::CallResult;
using talavex_bench::CallTime;
using talavex_bench::CostClass;
using talavex_bench::CostImage;
using talavex_bench::ImageResult;
using talavex_bench::ReaderLibrary;
using talavex_bench::sameFile;
using talavex_bench::selected;
using talavex_bench::Verdict;

struct Options {
    talavex_bench::CostPlan plan;
    int reps = 3;
    double timeoutSeconds = 120.0;
    std::vector<std::string> only;
    std::vector<std::string> files;
};

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: talavex_reader_cost [--frames N] [--photos N] [--reader N] [--grain N] [--decoys N]\n"
                 "       [--clean N] [--damaged N] [--empty N] [--pages N] [--worst N] [--no-worst] [--huge]\n"
                 "       [--only PREFIX]... [--reps N] [--timeout S] [--seed S] [BASELINE.so] CURRENT.so\n");
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options o;
    o.plan.readRate.frames = 10;
    o.plan.readRate.photos = 3;
    o.plan.readRate.reader = 10;
    o.plan.readRate.grain = 10;
    o.plan.readRate.decoys = 10;
    o.plan.speed.damaged = 10;
    o.plan.speed.emptyPerKind = 4;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&]() {
            if (i + 1 >= argc) usage();
            return std::atoi(argv[++i]);
        };
        if (arg == "--frames")
            o.plan.readRate.frames = number();
        else if (arg == "--photos")
            o.plan.readRate.photos = number();
        else if (arg == "--reader")
            o.plan.readRate.reader = number();
        else if (arg == "--grain")
            o.plan.readRate.grain = number();
        else if (arg == "--decoys")
            o.plan.readRate.decoys = number();
        else if (arg == "--clean")
            o.plan.speed.cleanPerSize = number();
        else if (arg == "--damaged")
            o.plan.speed.damaged = number();
        else if (arg == "--empty")
            o.plan.speed.emptyPerKind = number();
        else if (arg == "--pages")
            o.plan.pages = number();
        else if (arg == "--worst")
            o.plan.worst = number();
        else if (arg == "--no-worst") {
            o.plan.speed.worstCases = false;
            o.plan.worst = 0;
        } else if (arg == "--huge")
            o.plan.huge = true;
        else if (arg == "--only") {
            if (i + 1 >= argc) usage();
            o.only.push_back(argv[++i]);
        } else if (arg == "--reps")
            o.reps = std::max(1, number());
        else if (arg == "--timeout") {
            if (i + 1 >= argc) usage();
            o.timeoutSeconds = std::atof(argv[++i]);
        } else if (arg == "--seed") {
            if (i + 1 >= argc) usage();
            const auto seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
            o.plan.readRate.seed = seed;
            o.plan.speed.seed = seed;
        } else if (!arg.empty() && arg[0] == '-')
            usage();
        else
            o.files.push_back(arg);
    }
    if (o.files.empty() || o.files.size() > 2) usage();
    return o;
}

std::vector<std::function<std::string()>> callsOf(const ReaderLibrary& library, const CostImage& image) {
    const auto width = static_cast<std::uint32_t>(image.gray.width);
    const auto height = static_cast<std::uint32_t>(image.gray.height);
    std::vector<std::function<std::string()>> calls(talavex_bench::kCalls);
    calls[talavex_bench::kY] = [&library, &image, width, height] {
        return library.exports().recognize(talavex_bench::Export::Y, image.gray.pixels.data(), width, height);
    };
    if (!image.bgra.empty()) {
        calls[talavex_bench::kPhoto] = [&library, &image, width, height] {
            return library.exports().recognize(talavex_bench::Export::PhotoBGRA, image.bgra.data(), width, height);
        };
    }
    calls[talavex_bench::kRead] = [&library, &image] { return library.read(image.readerView(), {}); };
    calls[talavex_bench::kInverted] = [&library, &image] {
        talavex_bench::ReadOptions inverted;
        inverted.inverted = true;
        return library.read(image.readerView(), inverted);
    };
    return calls;
}

// What the answer (its hash) says: the exports answer "" for nothing and
// "error" or "<null>" for a failure, the reader "" and "F" (ReaderLibrary).
Verdict judge(int call, std::uint64_t answer, const CostImage& image) {
    using talavex_bench::answerHash;
    const bool reader = call == talavex_bench::kRead || call == talavex_bench::kInverted;
    if (answer == answerHash("")) return Verdict::Nothing;
    if (reader ? answer == answerHash("F") : answer == answerHash("error") || answer == answerHash("<null>"))
        return Verdict::Failed;
    if (!image.hasSymbol()) return Verdict::Wrong;
    const std::string right =
        reader ? talavex_bench::readAnswer(image.text, image.structCount, image.structPosition, image.structId)
               : image.exported;
    return answer == answerHash(right) ? Verdict::Read : Verdict::Wrong;
}

CallResult resultOf(int call, const CallTime& time, const CostImage& image) {
    CallResult result;
    result.millis = time.millis;
    result.verdict = time.timedOut ? Verdict::TimedOut : judge(call, time.answer, image);
    return result;
}

// Per build, the image's four calls: each the fastest of `reps` (its first
// answer judged), or one call in a child for an isolated class.
std::vector<ImageResult> measure(const CostClass& cls, const CostImage& image, int index,
                                 const std::vector<std::unique_ptr<ReaderLibrary>>& libraries, const Options& o) {
    const std::size_t builds = libraries.size();
    std::vector<ImageResult> results(builds);
    std::vector<std::vector<std::function<std::string()>>> calls;
    for (std::size_t b = 0; b < builds; ++b) {
        results[b].index = index;
        results[b].source = image.source;
        results[b].hasSymbol = image.hasSymbol();
        calls.push_back(callsOf(*libraries[b], image));
    }
    const auto clock = talavex_bench::Clock::ThreadCpu;
    const int reps = cls.isolated ? 1 : o.reps;
    for (int rep = 0; rep < reps; ++rep) {
        for (std::size_t turn = 0; turn < builds; ++turn) {
            const std::size_t b = (static_cast<std::size_t>(index + rep) + turn) % builds;
            for (int c = 0; c < talavex_bench::kCalls; ++c) {
                if (!calls[b][c]) continue;
                const CallTime time = cls.isolated
                                          ? talavex_bench::timeAnswerInChild(calls[b][c], clock, o.timeoutSeconds)
                                          : talavex_bench::timeAnswer(calls[b][c], clock);
                CallResult& best = results[b].calls[c];
                if (rep == 0)
                    best = resultOf(c, time, image);
                else
                    best.millis = std::min(best.millis, time.millis);
            }
        }
    }
    return results;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    if (o.files.size() == 2 && sameFile(o.files[0], o.files[1])) {
        std::fprintf(stderr, "%s and %s are one file: copy it to time a build against itself\n", o.files[0].c_str(),
                     o.files[1].c_str());
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<ReaderLibrary>> libraries;
    try {
        for (const std::string& file : o.files) libraries.push_back(std::make_unique<ReaderLibrary>(file));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "talavex_reader_cost: %s\n", e.what());
        return 1;
    }
    const std::vector<std::string> labels =
        libraries.size() == 2 ? std::vector<std::string>{"base", "cur"} : std::vector<std::string>{"cur"};
    for (std::size_t b = 0; b < libraries.size(); ++b)
        std::printf("%-4s %s\n", labels[b].c_str(), libraries[b]->path().c_str());
    std::printf("\n");
    // The first calls of a build fault in its code and grow the heap; no
    // image's time should carry that.
    {
        CostImage warmUp = talavex_bench::costImage(talavex_test::blankImage(640, 480));
        for (const auto& library : libraries)
            for (const auto& call : callsOf(*library, warmUp)) call();
    }
    talavex_bench::printTimeHeader(o.reps);

    std::vector<talavex_bench::ClassResult> results;
    for (const CostClass& cls : talavex_bench::costClasses(o.plan)) {
        if (cls.count <= 0 || !selected(cls.name, o.only)) continue;
        talavex_bench::ClassResult result;
        result.name = cls.name;
        result.builds.resize(libraries.size());
        for (int index = 0; index < cls.count; ++index) {
            const CostImage image = cls.make(index);
            std::vector<ImageResult> measured = measure(cls, image, index, libraries, o);
            for (std::size_t b = 0; b < libraries.size(); ++b) result.builds[b].push_back(std::move(measured[b]));
        }
        talavex_bench::printTimeRows(result, labels);
        results.push_back(std::move(result));
    }
    talavex_bench::printReads(results, labels);
    talavex_bench::printOverCost(results, labels);
    talavex_bench::printSummary(results, labels);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("report took %.0f s\n", seconds);
    return 0;
}
