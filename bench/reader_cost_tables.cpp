#include "reader_cost_tables.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace talavex_bench {

namespace {

const char* const kCallNames[kCalls] = {"recognizeY", "photo export", "read, default", "read, inverted"};

// A sum or a bound: `atLeast` when a timed-out call is in it.
struct Millis {
    double value = 0.0;
    bool atLeast = false;
};

std::string text(const Millis& m) {
    char out[32];
    const double v = m.value;
    std::snprintf(out, sizeof out, "%s%.*f", m.atLeast ? ">" : "", v < 10.0 ? 2 : v < 1000.0 ? 1 : 0, v);
    return out;
}

std::string ratio(const Millis& over, const Millis& under) {
    if (under.value <= 0.0) return "-";
    char out[32];
    std::snprintf(out, sizeof out, "%s%.2f", over.atLeast ? ">" : "", over.value / under.value);
    return out;
}

struct Stats {
    int n = 0;
    Millis median, total, worst;
};

Stats statsOf(const std::vector<ImageResult>& images, int call) {
    std::vector<const CallResult*> timed;
    for (const ImageResult& image : images)
        if (image.calls[call].timed()) timed.push_back(&image.calls[call]);
    Stats stats;
    stats.n = static_cast<int>(timed.size());
    if (timed.empty()) return stats;
    std::sort(timed.begin(), timed.end(),
              [](const CallResult* a, const CallResult* b) { return a->millis < b->millis; });
    const CallResult* low = timed[(timed.size() - 1) / 2];
    const CallResult* high = timed[timed.size() / 2];
    stats.median = {(low->millis + high->millis) / 2, high->verdict == Verdict::TimedOut};
    for (const CallResult* c : timed) {
        stats.total.value += c->millis;
        stats.total.atLeast |= c->verdict == Verdict::TimedOut;
    }
    stats.worst = {timed.back()->millis, timed.back()->verdict == Verdict::TimedOut};
    return stats;
}

// Sums of two calls' times over the images `keep` selects, among those where
// both were timed.
struct Sums {
    int n = 0;
    Millis a, b;
};

Sums sums(const std::vector<ImageResult>& images, int a, int b, const std::function<bool(const ImageResult&)>& keep) {
    Sums s;
    for (const ImageResult& image : images) {
        const CallResult& ca = image.calls[a];
        const CallResult& cb = image.calls[b];
        if (!ca.timed() || !cb.timed() || !keep(image)) continue;
        ++s.n;
        s.a.value += ca.millis;
        s.a.atLeast |= ca.verdict == Verdict::TimedOut;
        s.b.value += cb.millis;
        s.b.atLeast |= cb.verdict == Verdict::TimedOut;
    }
    return s;
}

bool overCost(const ImageResult& image, int call) {
    const CallResult& y = image.calls[kY];
    const CallResult& c = image.calls[call];
    return y.timed() && c.timed() && c.millis > 10.0 * y.millis + 5.0;
}

// Runes the reader should read anywhere (not the decoys of random rune bits).
bool runeClass(const std::string& name) {
    return name.find("rune") != std::string::npos && name.find("random-rune") == std::string::npos;
}

}  // namespace

void printTimeHeader(int reps) {
    std::printf(
        "CPU time per image in ms, fastest of %d calls (isolated images: one call, in a child); per class the\n"
        "median, total and worst. The reader's sums as ratios to recognizeY's on the same images.\n\n",
        reps);
    std::printf("%-34s %4s %-4s", "", "", "");
    for (const char* name : kCallNames) std::printf(" | %-26s", name);
    std::printf(" | %s\n", "reader / Y");
    std::printf("%-34s %4s %-4s", "class", "n", "lib");
    for (int c = 0; c < kCalls; ++c) std::printf(" | %8s %9s %7s", "median", "total", "worst");
    std::printf(" | %6s %6s\n", "read", "inv");
}

void printTimeRows(const ClassResult& result, const std::vector<std::string>& builds) {
    for (std::size_t b = 0; b < builds.size(); ++b) {
        const std::vector<ImageResult>& images = result.builds[b];
        std::printf("%-34s %4zu %-4s", b == 0 ? result.name.c_str() : "", images.size(), builds[b].c_str());
        for (int c = 0; c < kCalls; ++c) {
            const Stats s = statsOf(images, c);
            if (s.n == 0)
                std::printf(" | %8s %9s %7s", "-", "-", "-");
            else
                std::printf(" | %8s %9s %7s", text(s.median).c_str(), text(s.total).c_str(), text(s.worst).c_str());
        }
        auto all = [](const ImageResult&) { return true; };
        const Sums read = sums(images, kRead, kY, all);
        const Sums inverted = sums(images, kInverted, kY, all);
        std::printf(" | %6s %6s\n", ratio(read.a, read.b).c_str(), ratio(inverted.a, inverted.b).c_str());
    }
    std::fflush(stdout);
}

void printReads(const std::vector<ClassResult>& results, const std::vector<std::string>& builds) {
    std::printf(
        "\nReads (the image's bytes) and wrong reads (other bytes, or any read of an image without a symbol)\n\n");
    std::printf("%-34s %4s %4s %-4s", "", "", "", "");
    for (const char* name : kCallNames) std::printf(" | %-15s", name);
    std::printf(" |\n%-34s %4s %4s %-4s", "class", "n", "sym", "lib");
    for (int c = 0; c < kCalls; ++c) std::printf(" | %7s %7s", "reads", "wrong");
    std::printf(" | %6s %8s\n", "failed", "timeouts");
    for (const ClassResult& result : results) {
        for (std::size_t b = 0; b < builds.size(); ++b) {
            const std::vector<ImageResult>& images = result.builds[b];
            const auto symbols =
                std::count_if(images.begin(), images.end(), [](const ImageResult& i) { return i.hasSymbol; });
            std::printf("%-34s %4zu %4ld %-4s", b == 0 ? result.name.c_str() : "", images.size(),
                        static_cast<long>(symbols), builds[b].c_str());
            int failed = 0;
            int timeouts = 0;
            for (int c = 0; c < kCalls; ++c) {
                int reads = 0;
                int wrong = 0;
                int timed = 0;
                for (const ImageResult& image : images) {
                    const Verdict v = image.calls[c].verdict;
                    timed += v != Verdict::NotTimed;
                    reads += v == Verdict::Read;
                    wrong += v == Verdict::Wrong;
                    failed += v == Verdict::Failed;
                    timeouts += v == Verdict::TimedOut;
                }
                if (timed == 0)
                    std::printf(" | %7s %7s", "-", "-");
                else
                    std::printf(" | %7d %7d", reads, wrong);
            }
            std::printf(" | %6d %8d\n", failed, timeouts);
        }
    }
}

void printOverCost(const std::vector<ClassResult>& results, const std::vector<std::string>& builds) {
    std::printf("\nImages where the reader costs more than 10 x recognizeY + 5 ms (* marks the call)\n\n");
    for (std::size_t b = 0; b < builds.size(); ++b) {
        int count[2] = {0, 0};
        for (const ClassResult& result : results) {
            for (const ImageResult& image : result.builds[b]) {
                const bool read = overCost(image, kRead);
                const bool inverted = overCost(image, kInverted);
                if (!read && !inverted) continue;
                count[0] += read;
                count[1] += inverted;
                const auto& c = image.calls;
                std::printf("%-4s %-34s #%-3d %-26s Y %8s  read %8s%s  inverted %8s%s\n", builds[b].c_str(),
                            result.name.c_str(), image.index, image.source.c_str(), text({c[kY].millis, false}).c_str(),
                            text({c[kRead].millis, c[kRead].verdict == Verdict::TimedOut}).c_str(), read ? "*" : " ",
                            text({c[kInverted].millis, c[kInverted].verdict == Verdict::TimedOut}).c_str(),
                            inverted ? "*" : " ");
            }
        }
        std::printf("%-4s %d images over with default options, %d with inverted on\n\n", builds[b].c_str(), count[0],
                    count[1]);
    }
}

void printSummary(const std::vector<ClassResult>& results, const std::vector<std::string>& builds) {
    std::printf("Summary: the reader's time summed per class as a ratio to the time of the other call on the same\n");
    std::printf(
        "images: where the reader read nothing (misses), where it read, and where both it and an export read\n\n");
    std::printf("%-34s %-4s | %-13s | %-13s | %-13s | %-13s | %-13s\n", "", "", "misses", "inverted miss", "reads",
                "both, photo", "both, Y");
    std::printf("%-34s %-4s | %4s %8s | %4s %8s | %4s %8s | %4s %8s | %4s %8s\n", "class", "lib", "n", "read/Y", "n",
                "inv/Y", "n", "read/Y", "n", "read/ph", "n", "read/Y");
    auto nothing = [](int call) {
        return [call](const ImageResult& i) { return i.calls[call].verdict == Verdict::Nothing; };
    };
    auto returned = [](int call) { return [call](const ImageResult& i) { return i.calls[call].returned(); }; };
    auto both = [](int other) {
        return [other](const ImageResult& i) { return i.calls[kRead].returned() && i.calls[other].returned(); };
    };
    auto cell = [](const Sums& s) {
        char out[40];
        std::snprintf(out, sizeof out, "%4d %8s", s.n, ratio(s.a, s.b).c_str());
        return std::string(out);
    };
    struct Worst {
        double ratio = 0.0;
        std::string where = "-";
        void note(const Sums& s, const std::string& name) {
            if (s.b.value > 0.0 && s.a.value / s.b.value > ratio) {
                ratio = s.a.value / s.b.value;
                where = name;
            }
        }
    };
    for (std::size_t b = 0; b < builds.size(); ++b) {
        std::vector<ImageResult> all;
        Worst misses, invertedMisses, runes, bothPhoto, bothY;
        for (const ClassResult& result : results) {
            const std::vector<ImageResult>& images = result.builds[b];
            all.insert(all.end(), images.begin(), images.end());
            const Sums m = sums(images, kRead, kY, nothing(kRead));
            const Sums im = sums(images, kInverted, kY, nothing(kInverted));
            const Sums r = sums(images, kRead, kY, returned(kRead));
            const Sums bp = sums(images, kRead, kPhoto, both(kPhoto));
            const Sums by = sums(images, kRead, kY, both(kY));
            std::printf("%-34s %-4s | %s | %s | %s | %s | %s\n", result.name.c_str(), builds[b].c_str(),
                        cell(m).c_str(), cell(im).c_str(), cell(r).c_str(), cell(bp).c_str(), cell(by).c_str());
            misses.note(m, result.name);
            invertedMisses.note(im, result.name);
            if (runeClass(result.name))
                runes.note(sums(images, kRead, kY, [](const ImageResult&) { return true; }), result.name);
            bothPhoto.note(bp, result.name);
            bothY.note(by, result.name);
        }
        std::printf("%-34s %-4s | %s | %s | %s | %s | %s\n", "all images", builds[b].c_str(),
                    cell(sums(all, kRead, kY, nothing(kRead))).c_str(),
                    cell(sums(all, kInverted, kY, nothing(kInverted))).c_str(),
                    cell(sums(all, kRead, kY, returned(kRead))).c_str(),
                    cell(sums(all, kRead, kPhoto, both(kPhoto))).c_str(), cell(sums(all, kRead, kY, both(kY))).c_str());
        int over[2] = {0, 0};
        for (const ImageResult& image : all) {
            over[0] += overCost(image, kRead);
            over[1] += overCost(image, kInverted);
        }
        auto line = [&](const char* what, const Worst& w, double target) {
            if (w.where == "-") {
                std::printf("  %-4s %-52s %7s  (target %.1f) no images\n", builds[b].c_str(), what, "-", target);
                return;
            }
            std::printf("  %-4s %-52s %7.2f  (target %.1f) %-8s %s\n", builds[b].c_str(), what, w.ratio, target,
                        w.ratio <= target ? "holds" : "misses", w.where.c_str());
        };
        std::printf("\n");
        line("worst class, misses: read / Y", misses, 2.5);
        line("worst class, inverted misses: inverted / Y", invertedMisses, 4.0);
        line("worst rune class: read / Y", runes, 5.0);
        line("worst class, both read: read / photo export", bothPhoto, 1.1);
        line("worst class, both read: read / Y", bothY, 1.1);
        std::printf("  %-4s %-52s %7d  (target 0)   %-8s\n", builds[b].c_str(), "images over 10 x Y + 5 ms, default",
                    over[0], over[0] == 0 ? "holds" : "misses");
        std::printf("  %-4s %-52s %7d  (target 0)   %-8s\n\n", builds[b].c_str(), "images over 10 x Y + 5 ms, inverted",
                    over[1], over[1] == 0 ? "holds" : "misses");
    }
}

}  // namespace talavex_bench
