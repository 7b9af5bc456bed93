// Time budget report: how far talavex_read runs past its time budget on the
// reader's worst cases, for one build of the library or two, loaded with
// dlopen() as in the reader-cost report. A budget bounds the call's wall
// time, so this report, unlike the other timing reports, measures wall time:
// std::chrono::steady_clock around the call (an isolated call times itself
// in its child with CLOCK_MONOTONIC, the same clock). On a loaded machine a
// call may be preempted and overrun for that alone; run it on a quiet one.
//
// Images: every worst case of the reader-cost report (the speed report's
// 8192 x 8192 frames and 12-megapixel photo, noise and flat frames, tiles of
// bull's-eyes and of rings, a blurred and a damaged symbol that cannot be
// read, runes, pages of print; --huge adds the 2 GiB frames). For each image
// and budget, talavex_read runs with inverted on and max_symbols 1 and 8;
// the overrun is its wall time minus the budget, the worse of the two
// settings (and of --reps calls) counts. Column "none" is the wall time
// without a budget (max_symbols 1), for scale. A verdict line per budget:
// the worst overrun over all images, against the target of 5 ms.
//
//   talavex_budget_report [options] [BASELINE.so] CURRENT.so
//     --budgets LIST  budgets in ms (default 1,2,5,10,20,50,100,200,500)
//     --images N      images per worst-case class (default 1)
//     --only PREFIX   only the classes whose name starts with PREFIX (repeatable)
//     --huge          with the 2 GiB images
//     --reps N        calls per image, budget, setting and build (default 1)
//     --timeout S     CPU time limit of a call on an image of 16 megapixels or more, run in a child (default 120)
//     --seed S

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reader_cost_classes.h"
#include "reader_library.h"
#include "speed_timing.h"

namespace {

using talavex_bench::CostClass;
using talavex_bench::CostImage;
using talavex_bench::ReaderLibrary;
using talavex_bench::ReadOptions;
using talavex_bench::sameFile;
using talavex_bench::selected;

constexpr double kTargetMs = 5.0;

struct Options {
    talavex_bench::CostPlan plan;
    std::vector<std::uint32_t> budgets = {1, 2, 5, 10, 20, 50, 100, 200, 500};
    std::vector<std::string> only;
    int reps = 1;
    double timeoutSeconds = 120.0;
    std::vector<std::string> files;
};

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: talavex_budget_report [--budgets LIST] [--images N] [--only PREFIX]... [--huge] [--reps N]\n"
                 "       [--timeout S] [--seed S] [BASELINE.so] CURRENT.so\n");
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options o;
    // Only the worst cases: no read-rate classes, no clean, damaged or empty frames.
    o.plan.readRate = {0, 0, 0, 0, 0, o.plan.readRate.seed};
    o.plan.speed.cleanPerSize = 0;
    o.plan.speed.damaged = 0;
    o.plan.speed.emptyPerKind = 0;
    o.plan.pages = 1;
    o.plan.worst = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usage();
            return argv[++i];
        };
        if (arg == "--budgets") {
            o.budgets.clear();
            std::stringstream list(value());
            for (std::string item; std::getline(list, item, ',');)
                o.budgets.push_back(static_cast<std::uint32_t>(std::strtoul(item.c_str(), nullptr, 10)));
        } else if (arg == "--images") {
            o.plan.pages = o.plan.worst = std::max(1, std::atoi(value()));
        } else if (arg == "--only") {
            o.only.push_back(value());
        } else if (arg == "--huge") {
            o.plan.huge = true;
        } else if (arg == "--reps") {
            o.reps = std::max(1, std::atoi(value()));
        } else if (arg == "--timeout") {
            o.timeoutSeconds = std::atof(value());
        } else if (arg == "--seed") {
            o.plan.readRate.seed = o.plan.speed.seed = static_cast<std::uint32_t>(std::strtoul(value(), nullptr, 10));
        } else if (!arg.empty() && arg[0] == '-') {
            usage();
        } else {
            o.files.push_back(arg);
        }
    }
    if (o.files.empty() || o.files.size() > 2 || o.budgets.empty()) usage();
    return o;
}

struct WallTime {
    double millis = 0.0;
    bool timedOut = false;  // millis is then the limit
};

WallTime wallTime(const ReaderLibrary& library, const CostImage& image, const ReadOptions& options, bool isolated,
                  double timeoutSeconds) {
    auto call = [&] { return library.read(image.readerView(), options); };
    if (isolated) {
        const talavex_bench::CallTime t =
            talavex_bench::timeAnswerInChild(call, talavex_bench::Clock::Wall, timeoutSeconds);
        return {t.millis, t.timedOut};
    }
    const auto start = std::chrono::steady_clock::now();
    call();
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(), false};
}

// One image's row per build: the time without a budget, then per budget the
// worst overrun.
struct Row {
    std::string name;
    WallTime unbounded;
    std::vector<WallTime> overrun;
};

std::string text(const WallTime& t) {
    char out[32];
    std::snprintf(out, sizeof out, "%s%.1f", t.timedOut ? ">" : "", t.millis);
    return out;
}

void printTable(const std::string& label, const std::vector<Row>& rows, const std::vector<std::uint32_t>& budgets) {
    std::printf(
        "\n%s: overrun in ms (wall time minus the budget; negative: done before it), inverted on,\n"
        "the worse of max_symbols 1 and 8\n\n%-44s %9s |",
        label.c_str(), "image", "none");
    for (const std::uint32_t b : budgets) std::printf(" %8u", b);
    std::printf("\n");
    for (const Row& row : rows) {
        std::printf("%-44s %9s |", row.name.c_str(), text(row.unbounded).c_str());
        for (const WallTime& t : row.overrun) std::printf(" %8s", text(t).c_str());
        std::printf("\n");
    }
    std::printf("\n");
    for (std::size_t k = 0; k < budgets.size(); ++k) {
        const Row* worst = nullptr;
        for (const Row& row : rows)
            if (worst == nullptr || row.overrun[k].millis > worst->overrun[k].millis) worst = &row;
        if (worst == nullptr) continue;
        const WallTime& t = worst->overrun[k];
        std::printf("%s budget %4u ms: worst overrun %9s ms (%s): %s\n", label.c_str(), budgets[k], text(t).c_str(),
                    worst->name.c_str(),
                    !t.timedOut && t.millis <= kTargetMs ? "holds (at most 5 ms)" : "OVERRUNS 5 ms");
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    if (o.files.size() == 2 && sameFile(o.files[0], o.files[1])) {
        std::fprintf(stderr, "%s and %s are one file: copy it to time a build against itself\n", o.files[0].c_str(),
                     o.files[1].c_str());
        return 2;
    }
    std::vector<std::unique_ptr<ReaderLibrary>> libraries;
    try {
        for (const std::string& file : o.files) libraries.push_back(std::make_unique<ReaderLibrary>(file));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "talavex_budget_report: %s\n", e.what());
        return 1;
    }
    const std::vector<std::string> labels =
        libraries.size() == 2 ? std::vector<std::string>{"base", "cur"} : std::vector<std::string>{"cur"};
    for (std::size_t b = 0; b < libraries.size(); ++b)
        std::printf("%-4s %s\n", labels[b].c_str(), libraries[b]->path().c_str());
    // The first calls of a build fault in its code and grow the heap; no
    // budget should carry that.
    {
        const CostImage warmUp = talavex_bench::costImage(talavex_test::blankImage(640, 480));
        ReadOptions inverted;
        inverted.inverted = true;
        for (const auto& library : libraries) library->read(warmUp.readerView(), inverted);
    }
    const auto start = std::chrono::steady_clock::now();

    std::vector<std::vector<Row>> rows(libraries.size());
    int image = 0;
    for (const CostClass& cls : talavex_bench::costClasses(o.plan)) {
        if (!cls.worstCase || cls.count <= 0 || !selected(cls.name, o.only)) continue;
        for (int index = 0; index < cls.count; ++index, ++image) {
            const CostImage made = cls.make(index);
            const std::string name = cls.name + " #" + std::to_string(index);
            std::fprintf(stderr, "%s\n", name.c_str());
            for (auto& perBuild : rows) perBuild.push_back({name, {}, std::vector<WallTime>(o.budgets.size())});
            // The builds take turns, the first turn alternating from image to image.
            for (std::size_t turn = 0; turn < libraries.size(); ++turn) {
                const std::size_t b = (static_cast<std::size_t>(image) + turn) % libraries.size();
                Row& row = rows[b].back();
                ReadOptions options;
                options.inverted = true;
                row.unbounded = wallTime(*libraries[b], made, options, cls.isolated, o.timeoutSeconds);
                for (std::size_t k = 0; k < o.budgets.size(); ++k) {
                    WallTime worst{-1e300, false};
                    for (const std::uint32_t maxSymbols : {1u, 8u}) {
                        options.maxSymbols = maxSymbols;
                        options.budgetMs = o.budgets[k];
                        for (int rep = 0; rep < o.reps; ++rep) {
                            WallTime t = wallTime(*libraries[b], made, options, cls.isolated, o.timeoutSeconds);
                            t.millis -= o.budgets[k];
                            if (t.millis > worst.millis) worst = t;
                        }
                    }
                    row.overrun[k] = worst;
                }
            }
        }
    }
    for (std::size_t b = 0; b < libraries.size(); ++b) printTable(labels[b], rows[b], o.budgets);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\nreport took %.0f s\n", seconds);
    return 0;
}
