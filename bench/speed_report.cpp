// Speed report: times one export of two builds of the library on the same
// images, per class, in one run, and prints the median and worst time per
// image of each build and the ratio of the medians (baseline / current).
// The builds are loaded from their files with dlopen(); each image is read by
// both, alternately and in alternating order, so that the machine's noise
// hits both alike, and the fastest of --reps calls counts. Times are the
// calls' own CPU time (--wall: wall-clock time), so that other processes on a
// shared machine do not count. Calls that may take minutes (the worst cases)
// run once each, in a child process killed after --timeout seconds of CPU
// time. Then the peak memory rise of a frame pass and of a 12-megapixel photo
// pass, each build in a fresh process.
// Columns "same": images both builds answered alike, of those both answered
// in time; "found": images where the current build returned a text.
//
//   talavex_speed_report [options] BASELINE.so CURRENT.so
//     --frames N --photos N --clean N --damaged N --empty N   images per class
//     --reps N            calls per image and build (default 3)
//     --timeout S         CPU time limit of an isolated call (default 120)
//     --only PREFIX       only the classes whose name starts with PREFIX
//     --no-worst          without the worst cases and the size series
//     --no-planes         without the two 2 GiB planes
//     --no-baseline-worst the worst cases for the current build only
//     --no-memory         without the memory figures
//     --wall              wall-clock time instead of the call's CPU time
//     --seed S
//
// The two files must be two files, not two names of one (the loader would
// load it once). Exits with 3 when the builds' answers differ on an image.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "speed_classes.h"
#include "speed_library.h"
#include "speed_memory.h"
#include "speed_timing.h"

namespace {

using talavex_bench::CallTime;
using talavex_bench::sameFile;
using talavex_bench::SpeedClass;
using talavex_bench::SpeedImage;
using talavex_bench::TalavexLibrary;

struct Options {
    talavex_bench::SpeedPlan plan;
    int reps = 3;
    double timeoutSeconds = 120.0;
    std::string only;
    bool baselineWorst = true;
    bool memory = true;
    talavex_bench::Clock clock = talavex_bench::Clock::ThreadCpu;
    std::string baseline;
    std::string current;
};

struct Times {
    std::vector<CallTime> baseline;
    std::vector<CallTime> current;
    int same = 0;      // images where both builds gave the same answer
    int compared = 0;  // images where both answered in time
    int found = 0;     // images where the current build returned a text
    double megapixels = 0.0;
};

void usage() {
    std::fprintf(stderr,
                 "usage: talavex_speed_report [--frames N] [--photos N] [--clean N] [--damaged N] [--empty N]\n"
                 "       [--reps N] [--timeout S] [--only PREFIX] [--no-worst] [--no-planes]\n"
                 "       [--no-baseline-worst] [--no-memory] [--wall] [--seed S] BASELINE.so CURRENT.so\n");
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usage();
            return argv[++i];
        };
        if (arg == "--frames")
            o.plan.framesPerClass = std::atoi(value());
        else if (arg == "--photos")
            o.plan.photosPerClass = std::atoi(value());
        else if (arg == "--clean")
            o.plan.cleanPerSize = std::atoi(value());
        else if (arg == "--damaged")
            o.plan.damaged = std::atoi(value());
        else if (arg == "--empty")
            o.plan.emptyPerKind = std::atoi(value());
        else if (arg == "--reps")
            o.reps = std::max(1, std::atoi(value()));
        else if (arg == "--timeout")
            o.timeoutSeconds = std::atof(value());
        else if (arg == "--only")
            o.only = value();
        else if (arg == "--seed")
            o.plan.seed = static_cast<std::uint32_t>(std::strtoul(value(), nullptr, 10));
        else if (arg == "--no-worst")
            o.plan.worstCases = false;
        else if (arg == "--no-planes")
            o.plan.planes = false;
        else if (arg == "--no-baseline-worst")
            o.baselineWorst = false;
        else if (arg == "--no-memory")
            o.memory = false;
        else if (arg == "--wall")
            o.clock = talavex_bench::Clock::Wall;
        else if (!arg.empty() && arg[0] == '-')
            usage();
        else
            files.push_back(arg);
    }
    if (files.size() != 2) usage();
    o.baseline = files[0];
    o.current = files[1];
    return o;
}

// Every image is read by both builds `reps` times, the builds taking turns
// and the first turn alternating from image to image; the fastest call counts.
void timeImage(const SpeedClass& cls, const SpeedImage& image, int index, const TalavexLibrary& baseline,
               const TalavexLibrary& current, const Options& o, Times& times) {
    CallTime best[2];
    bool measured[2] = {false, false};
    const TalavexLibrary* libraries[2] = {&baseline, &current};
    if (cls.isolated) {
        if (o.baselineWorst) {
            best[0] = talavex_bench::timeCallInChild(baseline, cls.which, image, o.clock, o.timeoutSeconds);
            measured[0] = true;
        }
        best[1] = talavex_bench::timeCallInChild(current, cls.which, image, o.clock, o.timeoutSeconds);
        measured[1] = true;
    } else {
        for (int rep = 0; rep < o.reps; ++rep) {
            for (int turn = 0; turn < 2; ++turn) {
                const int which = (index + rep + turn) % 2;
                const CallTime t = talavex_bench::timeCall(*libraries[which], cls.which, image, o.clock);
                if (!measured[which] || t.millis < best[which].millis) {
                    const std::uint64_t firstAnswer = measured[which] ? best[which].answer : t.answer;
                    best[which] = t;
                    best[which].answer = firstAnswer;
                }
                measured[which] = true;
            }
        }
    }
    if (measured[0]) times.baseline.push_back(best[0]);
    times.current.push_back(best[1]);
    if (measured[0] && !best[0].timedOut && !best[1].timedOut) {
        ++times.compared;
        if (best[0].answer == best[1].answer) ++times.same;
    }
    static const std::uint64_t nothing = talavex_bench::answerHash("");
    static const std::uint64_t error = talavex_bench::answerHash("error");
    if (!best[1].timedOut && best[1].answer != nothing && best[1].answer != error) ++times.found;
    times.megapixels = static_cast<double>(image.width) * image.height / 1e6;
}

// Of an even count, the mean of the middle two.
CallTime median(std::vector<CallTime> times) {
    std::sort(times.begin(), times.end(), [](const CallTime& a, const CallTime& b) { return a.millis < b.millis; });
    const CallTime& low = times[(times.size() - 1) / 2];
    const CallTime& high = times[times.size() / 2];
    return {(low.millis + high.millis) / 2, low.timedOut || high.timedOut, 0};
}

CallTime worst(const std::vector<CallTime>& times) {
    return *std::max_element(times.begin(), times.end(),
                             [](const CallTime& a, const CallTime& b) { return a.millis < b.millis; });
}

std::string millis(const CallTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%.*f", t.timedOut ? ">" : "", t.millis < 100.0 ? 2 : 0, t.millis);
    return text;
}

void printHeader() {
    std::printf("%-34s %4s %11s %11s %11s %11s %8s %7s %6s\n", "class", "n", "base-med-ms", "base-max-ms", "cur-med-ms",
                "cur-max-ms", "ratio", "same", "found");
}

void printRow(const std::string& name, const Times& t) {
    const CallTime curMedian = median(t.current);
    std::string baseMedian = "-";
    std::string baseWorst = "-";
    std::string ratio = "-";
    if (!t.baseline.empty()) {
        const CallTime b = median(t.baseline);
        baseMedian = millis(b);
        baseWorst = millis(worst(t.baseline));
        char text[32];
        std::snprintf(text, sizeof text, "%s%.2f", b.timedOut ? ">" : "", b.millis / std::max(curMedian.millis, 1e-6));
        ratio = text;
    }
    const std::string same = std::to_string(t.same) + "/" + std::to_string(t.compared);
    std::printf("%-34s %4zu %11s %11s %11s %11s %8s %7s %6d\n", name.c_str(), t.current.size(), baseMedian.c_str(),
                baseWorst.c_str(), millis(curMedian).c_str(), millis(worst(t.current)).c_str(), ratio.c_str(),
                same.c_str(), t.found);
    std::fflush(stdout);
}

void append(Times& to, const Times& from) {
    to.baseline.insert(to.baseline.end(), from.baseline.begin(), from.baseline.end());
    to.current.insert(to.current.end(), from.current.begin(), from.current.end());
    to.same += from.same;
    to.compared += from.compared;
    to.found += from.found;
}

void printScaling(const std::vector<std::pair<std::string, Times>>& rows) {
    bool header = false;
    for (const auto& [name, t] : rows) {
        if (name.rfind("scale/", 0) != 0) continue;
        if (!header) {
            std::printf("\n%-34s %8s %14s %14s\n", "time per megapixel", "MP", "baseline-ms/MP", "current-ms/MP");
            header = true;
        }
        const std::string base =
            t.baseline.empty() ? "-" : millis({median(t.baseline).millis / t.megapixels, median(t.baseline).timedOut});
        std::printf("%-34s %8.2f %14s %14s\n", name.c_str(), t.megapixels, base.c_str(),
                    millis({median(t.current).millis / t.megapixels, median(t.current).timedOut}).c_str());
    }
}

std::string selfPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    path[length] = '\0';
    return path;
}

void printMemory(const Options& o) {
    const std::string self = selfPath();
    std::printf("\n%-34s %9s %13s %13s\n", "peak memory rise of one call", "input-MiB", "baseline-MiB", "current-MiB");
    for (const auto& scenario : talavex_bench::memoryScenarios()) {
        const SpeedImage image = scenario.make();
        const long base = talavex_bench::measurePeakRise(self, o.baseline, scenario.name);
        const long cur = talavex_bench::measurePeakRise(self, o.current, scenario.name);
        auto mib = [](long kib) {
            char text[32];
            std::snprintf(text, sizeof text, "%.1f", kib / 1024.0);
            return kib < 0 ? std::string("failed") : std::string(text);
        };
        std::printf("%-34s %9.1f %13s %13s\n", scenario.name, image.bytes.size() / 1048576.0, mib(base).c_str(),
                    mib(cur).c_str());
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--memory-child") == 0)
        return talavex_bench::runMemoryChild(argv[2], argv[3]);
    const Options o = parse(argc, argv);
    if (sameFile(o.baseline, o.current)) {
        std::fprintf(stderr, "%s and %s are one file: copy it to time a build against itself\n", o.baseline.c_str(),
                     o.current.c_str());
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        const TalavexLibrary baseline(o.baseline);
        const TalavexLibrary current(o.current);
        std::printf(
            "baseline %s\ncurrent  %s\n%s, fastest of %d calls per image; isolated calls once, CPU limit %.0f s\n\n",
            o.baseline.c_str(), o.current.c_str(),
            o.clock == talavex_bench::Clock::Wall ? "wall-clock time" : "CPU time of the call", o.reps,
            o.timeoutSeconds);
        printHeader();
        std::vector<std::pair<std::string, Times>> rows;
        std::map<std::string, Times> summaries;
        std::vector<std::string> summaryOrder;
        for (const SpeedClass& cls : talavex_bench::speedClasses(o.plan)) {
            if (cls.count <= 0 || cls.name.rfind(o.only, 0) != 0) continue;
            Times times;
            for (int index = 0; index < cls.count; ++index) {
                const SpeedImage image = cls.make(index);
                timeImage(cls, image, index, baseline, current, o, times);
            }
            printRow(cls.name, times);
            rows.emplace_back(cls.name, times);
            if (!cls.summary.empty()) {
                if (!summaries.count(cls.summary)) summaryOrder.push_back(cls.summary);
                append(summaries[cls.summary], times);
            }
        }
        if (!summaryOrder.empty()) std::printf("\n");
        for (const std::string& name : summaryOrder) printRow(name, summaries[name]);
        printScaling(rows);
        if (o.memory) printMemory(o);

        int differing = 0;
        for (const auto& row : rows) differing += row.second.compared - row.second.same;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("\nreport took %.0f s\n", seconds);
        if (differing > 0) {
            std::fprintf(stderr, "the builds answered differently on %d images\n", differing);
            return 3;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "talavex_speed_report: %s\n", e.what());
        return 1;
    }
    return 0;
}
