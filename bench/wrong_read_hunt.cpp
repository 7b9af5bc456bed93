// Wrong-read hunt: the damaged symbols of wrong_read_damage.h, each read by
// the three exports (recognizeY on the gray image, recognizeBGRA and
// recognizePhotoBGRA on its BGRA copy) and by the reader API (talavex_read,
// auto, light-on-dark on). Every answer is right (the encoded bytes), a miss
// (nothing), or wrong (anything else, and any read of an image without a
// symbol); a miss is the right answer where nothing can be read. Prints the
// count of each outcome per class and overall, lists each wrong read with
// the seed that draws its image again, and exits 1 on a wrong read or a
// failed call.
//
//   talavex_wrong_read_hunt [--images-per-class N] [--seed S] [--only SUBSTRING] [--entries LIST]
//
// --entries names the entry points to call, from y, bgra, photo and reader
// (default all four, comma-separated): the photo export and the reader take
// some 40 ms an image here, the other two well under one.
// Image i of class k is drawn from the seed sequence {S + i, k}, so
// `--only NAME --seed S+i --images-per-class 1` draws that image alone.
#include <getopt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "talavex/reader.h"
#include "talavex/talavex.h"
#include "wrong_read_damage.h"

namespace {

using talavex_bench::HuntClass;
using talavex_bench::HuntImage;

enum class Outcome { Right, Miss, Wrong, Failed };

struct Answer {
    Outcome outcome = Outcome::Miss;
    std::string bytes;
};

struct Tally {
    long images = 0;
    long right = 0;
    long miss = 0;
    long wrong = 0;
    long failed = 0;
    void count(Outcome o) {
        switch (o) {
            case Outcome::Right: ++right; break;
            case Outcome::Miss: ++miss; break;
            case Outcome::Wrong: ++wrong; break;
            case Outcome::Failed: ++failed; break;
        }
    }
    void add(const Tally& t) {
        images += t.images;
        right += t.right;
        miss += t.miss;
        wrong += t.wrong;
        failed += t.failed;
    }
    long calls() const { return right + miss + wrong + failed; }
};

Outcome judge(const HuntImage& image, bool read, const std::string& bytes) {
    if (!read) return Outcome::Miss;
    return image.hasSymbol && bytes == image.text ? Outcome::Right : Outcome::Wrong;
}

Answer fromExport(const HuntImage& image, char* raw) {
    Answer answer;
    if (raw == nullptr) {
        answer.outcome = Outcome::Failed;
        return answer;
    }
    answer.bytes = raw;
    std::free(raw);
    if (answer.bytes == "error")
        answer.outcome = Outcome::Failed;
    else
        answer.outcome = judge(image, !answer.bytes.empty(), answer.bytes);
    return answer;
}

Answer fromReader(const HuntImage& image, const talavex_options* options) {
    const talavex_image view{image.gray.pixels.data(), static_cast<std::uint32_t>(image.gray.width),
                             static_cast<std::uint32_t>(image.gray.height),
                             static_cast<std::uint32_t>(image.gray.width), TALAVEX_GRAY8};
    talavex_results* results = talavex_read(&view, options);
    Answer answer;
    if (talavex_results_status(results) != TALAVEX_OK) {
        answer.outcome = Outcome::Failed;
    } else {
        const bool read =
            talavex_results_count(results) > 0 && talavex_symbol_status_of(results, 0) == TALAVEX_SYMBOL_READ;
        if (read) {
            size_t length = 0;
            const std::uint8_t* bytes = talavex_symbol_bytes(results, 0, &length);
            answer.bytes.assign(reinterpret_cast<const char*>(bytes), length);
        }
        answer.outcome = judge(image, read, answer.bytes);
    }
    talavex_results_free(results);
    return answer;
}

struct Settings {
    long perClass = 50;
    std::uint32_t seed = 20260520;
    std::string only;
    std::string entries = "y,bgra,photo,reader";
};

Settings parse(int argc, char** argv) {
    static const option longOptions[] = {{"images-per-class", required_argument, nullptr, 'n'},
                                         {"seed", required_argument, nullptr, 's'},
                                         {"only", required_argument, nullptr, 'o'},
                                         {"entries", required_argument, nullptr, 'e'},
                                         {nullptr, 0, nullptr, 0}};
    Settings settings;
    int c = 0;
    while ((c = getopt_long(argc, argv, "", longOptions, nullptr)) != -1) {
        switch (c) {
            case 'n': settings.perClass = std::atol(optarg); break;
            case 's': settings.seed = static_cast<std::uint32_t>(std::strtoul(optarg, nullptr, 10)); break;
            case 'o': settings.only = optarg; break;
            case 'e': settings.entries = optarg; break;
            default:
                std::fprintf(stderr,
                             "usage: %s [--images-per-class N] [--seed S] [--only SUBSTRING] [--entries LIST]\n",
                             argv[0]);
                std::exit(2);
        }
    }
    return settings;
}

std::string printable(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes.substr(0, 60)) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return bytes.size() > 60 ? out + "..." : out;
}

void printRow(const std::string& name, const Tally& t) {
    std::printf("%-40s %7ld %8ld %8ld %8ld %6ld %6ld\n", name.c_str(), t.images, t.calls(), t.right, t.miss, t.wrong,
                t.failed);
}

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// One entry point as the hunt calls it.
struct Entry {
    const char* flag;  // its name in --entries
    const char* name;
    Answer (*ask)(const HuntImage& image, const talavex_options* options);
    bool chosen = false;
    Tally tally;
    double seconds = 0.0;
};

std::uint32_t widthOf(const HuntImage& image) { return static_cast<std::uint32_t>(image.gray.width); }
std::uint32_t heightOf(const HuntImage& image) { return static_cast<std::uint32_t>(image.gray.height); }

Answer askY(const HuntImage& image, const talavex_options*) {
    return fromExport(image, recognizeY(image.gray.pixels.data(), widthOf(image), heightOf(image)));
}
Answer askBGRA(const HuntImage& image, const talavex_options*) {
    return fromExport(image, recognizeBGRA(image.bgra.data(), widthOf(image), heightOf(image)));
}
Answer askPhoto(const HuntImage& image, const talavex_options*) {
    return fromExport(image, recognizePhotoBGRA(image.bgra.data(), widthOf(image), heightOf(image)));
}

bool choose(std::vector<Entry>& entries, const std::string& list) {
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t end = std::min(list.find(',', at), list.size());
        const std::string flag = list.substr(at, end - at);
        bool known = false;
        for (Entry& e : entries) {
            if (flag == e.flag) e.chosen = known = true;
        }
        if (!known) return false;
        at = end + 1;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const Settings settings = parse(argc, argv);
    std::vector<Entry> entries = {{"y", "recognizeY", askY, false, {}, 0.0},
                                  {"bgra", "recognizeBGRA", askBGRA, false, {}, 0.0},
                                  {"photo", "recognizePhotoBGRA", askPhoto, false, {}, 0.0},
                                  {"reader", "talavex_read", fromReader, false, {}, 0.0}};
    if (!choose(entries, settings.entries)) {
        std::fprintf(stderr, "talavex_wrong_read_hunt: --entries takes y, bgra, photo and reader\n");
        return 2;
    }
    talavex_options* options = talavex_options_new();
    if (options == nullptr || talavex_options_set_inverted(options, 1) != 0) {
        std::fprintf(stderr, "talavex_wrong_read_hunt: cannot set the reader's options\n");
        return 2;
    }
    const double start = cpuSeconds();
    Tally overall;
    std::vector<std::string> wrongReads;
    std::printf("%-40s %7s %8s %8s %8s %6s %6s\n", "class", "images", "calls", "right", "miss", "wrong", "failed");
    const std::vector<HuntClass> classes = talavex_bench::huntClasses();
    for (std::size_t k = 0; k < classes.size(); ++k) {
        const HuntClass& cls = classes[k];
        if (cls.name.find(settings.only) == std::string::npos) continue;
        Tally tally;
        for (long i = 0; i < settings.perClass; ++i) {
            const std::uint32_t seed = settings.seed + static_cast<std::uint32_t>(i);
            std::seed_seq sequence{seed, static_cast<std::uint32_t>(k)};
            std::mt19937 rng(sequence);
            const HuntImage image = talavex_bench::makeHuntImage(cls, rng);
            ++tally.images;
            for (Entry& e : entries) {
                if (!e.chosen) continue;
                const double before = cpuSeconds();
                const Answer answer = e.ask(image, options);
                e.seconds += cpuSeconds() - before;
                ++e.tally.images;
                e.tally.count(answer.outcome);
                tally.count(answer.outcome);
                if (answer.outcome == Outcome::Wrong)
                    wrongReads.push_back(std::string(e.name) + ": " + cls.name + " seed " + std::to_string(seed) +
                                         ": got \"" + printable(answer.bytes) + "\", expected " +
                                         (image.hasSymbol ? "\"" + printable(image.text) + "\"" : "nothing"));
            }
        }
        printRow(cls.name, tally);
        overall.add(tally);
    }
    printRow("overall", overall);
    for (const Entry& e : entries) {
        if (!e.chosen) continue;
        printRow(std::string("  by ") + e.name, e.tally);
        std::printf("  %-38s %.1f s of CPU\n", "", e.seconds);
    }
    for (const std::string& line : wrongReads) std::printf("wrong read by %s\n", line.c_str());
    std::printf("run time %.1f s of CPU; %ld calls, %ld wrong reads, %ld failed calls\n", cpuSeconds() - start,
                overall.calls(), overall.wrong, overall.failed);
    talavex_options_free(options);
    return overall.wrong > 0 || overall.failed > 0 ? 1 : 0;
}
