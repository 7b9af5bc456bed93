// The reader's read-rate report beside the exports': per class, the same
// seeded images read by the export (recognizeY for frames,
// recognizePhotoBGRA for photos) and by the reader API (talavex_read, gray
// frames and BGRA photos, where auto, light-on-dark on, one symbol), with the
// wrong reads of both. The exports' classes are the read-rate report's own
// images; the reader's classes and decoys are in reader_read_rate_classes.h,
// the grain classes in reader_grain_classes.h, and the seeds every image is
// drawn from in read_rate_catalogue.h.
//
// A read counts when the bytes equal the encoded ones and, for structured
// append, the reader reports the encoded position, count and ID (the exports
// keep the header in their bytes). Any other
// returned read is wrong, and so is every read of a decoy. On images without
// a symbol "read" means that nothing was returned, as in the exports' report.
// Exits 1 when the reader made a wrong read or a call failed; each one is
// listed with the seed that draws its image.
//
//   talavex_reader_read_rate [--frames-per-class N] [--photos-per-class N] [--reader-per-class N]
//                            [--grain-per-class N] [--decoys-per-class N] [--seed S] [--misses]
//
// --misses also lists every image with a symbol that the reader did not read.
#include <getopt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "read_rate_catalogue.h"
#include "reader_read_rate_classes.h"
#include "talavex/reader.h"
#include "talavex/talavex.h"

namespace {

using talavex_bench::ReaderSample;
using talavex_bench::Sample;

struct Tally {
    int total = 0;
    int exportRead = 0;
    int readerRead = 0;
    int exportWrong = 0;
    int readerWrong = 0;
    std::vector<double> exportMs;
    std::vector<double> readerMs;
};

struct WrongRead {
    std::string where;  // class and image
    std::string who;    // "reader" or "export"
    std::string got;
    std::string expected;
};

// What a call returned: nothing, or bytes (with the reader's structured append).
struct Answer {
    bool read = false;
    std::string bytes;
    std::uint32_t structCount = 0;
    std::uint32_t structPosition = 0;
    std::string structId;
    std::string how;      // the reader's account of the symbol, for the list of wrong reads
    std::string failure;  // the reader's message when the call failed
    double millis = 0.0;
};

// CPU time of this thread: the machine's other work does not count.
double cpuMillis() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Answer askExport(const Sample& sample) {
    const double start = cpuMillis();
    char* raw = sample.photo ? recognizePhotoBGRA(sample.bgra.data(), sample.image.width, sample.image.height)
                             : recognizeY(sample.image.pixels.data(), sample.image.width, sample.image.height);
    Answer answer;
    answer.millis = cpuMillis() - start;
    const std::string text = raw != nullptr ? raw : "error";
    std::free(raw);
    // "" is nothing found and "error" a failure; neither is a read.
    answer.read = !text.empty() && text != "error";
    if (answer.read) answer.bytes = text;
    return answer;
}

Answer askReader(const Sample& sample, const talavex_options* options) {
    talavex_image view{};
    view.width = static_cast<std::uint32_t>(sample.image.width);
    view.height = static_cast<std::uint32_t>(sample.image.height);
    if (sample.photo) {
        view.pixels = sample.bgra.data();
        view.stride = 4 * view.width;
        view.format = TALAVEX_BGRA;
    } else {
        view.pixels = sample.image.pixels.data();
        view.stride = view.width;
        view.format = TALAVEX_GRAY8;
    }
    const double start = cpuMillis();
    talavex_results* results = talavex_read(&view, options);
    Answer answer;
    answer.millis = cpuMillis() - start;
    if (talavex_results_status(results) != TALAVEX_OK) answer.failure = talavex_results_message(results);
    if (talavex_results_status(results) == TALAVEX_OK && talavex_results_count(results) > 0 &&
        talavex_symbol_status_of(results, 0) == TALAVEX_SYMBOL_READ) {
        answer.read = true;
        size_t length = 0;
        const std::uint8_t* bytes = talavex_symbol_bytes(results, 0, &length);
        answer.bytes.assign(reinterpret_cast<const char*>(bytes), length);
        const char* id = nullptr;
        answer.structCount = talavex_symbol_structured_append(results, 0, &answer.structPosition, &id);
        answer.structId = id != nullptr ? id : "";
        static const char* const kinds[] = {"compact", "full-range", "rune"};
        const int kind = talavex_symbol_kind(results, 0);
        answer.how = std::string(kind >= 0 && kind <= 2 ? kinds[kind] : "unknown kind") + ", " +
                     std::to_string(talavex_symbol_layers(results, 0)) + " layers, " +
                     std::to_string(talavex_symbol_codewords_corrected(results, 0)) + " corrected, turned " +
                     std::to_string(talavex_symbol_orientation(results, 0)) +
                     (talavex_symbol_mirrored(results, 0) ? ", mirrored" : "") +
                     (talavex_symbol_inverted(results, 0) ? ", inverted" : "");
        double corners[8];
        if (talavex_symbol_corners(results, 0, corners) == 0) {
            char at[96];
            std::snprintf(at, sizeof at, ", corners (%.0f,%.0f) (%.0f,%.0f) (%.0f,%.0f) (%.0f,%.0f)", corners[0],
                          corners[1], corners[2], corners[3], corners[4], corners[5], corners[6], corners[7]);
            answer.how += at;
        }
    }
    talavex_results_free(results);
    return answer;
}

std::string printable(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes.substr(0, 48)) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return bytes.size() > 48 ? out + "..." : out;
}

std::string describe(const Answer& answer) {
    std::string text = "\"" + printable(answer.bytes) + "\"";
    if (answer.structCount != 0)
        text += " append " + std::to_string(answer.structPosition) + "/" + std::to_string(answer.structCount) +
                " id \"" + answer.structId + "\"";
    if (!answer.how.empty()) text += " (" + answer.how + ")";
    return text;
}

class Report {
public:
    Report(const talavex_options* options, bool listMisses) : options_(options), listMisses_(listMisses) {}

    // The exports report no structured append: their bytes are judged with the header.
    void measure(const ReaderSample& sample, const std::string& where, Tally& tally) {
        ++tally.total;
        const Answer exported = askExport(sample.sample);
        tally.exportMs.push_back(exported.millis);
        if (judge(sample, exported, false, where, "export"))
            ++tally.exportRead;
        else if (exported.read)
            ++tally.exportWrong;
        const Answer read = askReader(sample.sample, options_);
        if (!read.failure.empty()) failures_.push_back(where + ": " + read.failure);
        tally.readerMs.push_back(read.millis);
        if (judge(sample, read, true, where, "reader"))
            ++tally.readerRead;
        else if (read.read)
            ++tally.readerWrong;
        else if (listMisses_ && sample.sample.hasSymbol)
            std::printf("missed by the reader: %s (export %s)\n", where.c_str(), exported.read ? "read" : "missed");
    }

    const std::vector<WrongRead>& wrongReads() const { return wrong_; }
    // Calls that returned a status other than TALAVEX_OK: none is expected.
    const std::vector<std::string>& failures() const { return failures_; }

private:
    // True when the answer is right; a wrong read is also listed.
    bool judge(const ReaderSample& sample, const Answer& answer, bool checkStruct, const std::string& where,
               const char* who) {
        if (!sample.sample.hasSymbol) {
            if (answer.read) wrong_.push_back({where, who, describe(answer), "nothing"});
            return !answer.read;
        }
        if (!answer.read) return false;
        Answer expected;
        expected.bytes = sample.sample.text;
        if (!checkStruct) expected.bytes = talavex_bench::exportedBytes(sample);
        if (checkStruct) {
            expected.structCount = sample.structCount;
            expected.structPosition = sample.structPosition;
            expected.structId = sample.structId;
        }
        // Position and ID mean nothing without a count.
        const bool sameAppend = answer.structCount == expected.structCount &&
                                (expected.structCount == 0 || (answer.structPosition == expected.structPosition &&
                                                               answer.structId == expected.structId));
        const bool right = answer.bytes == expected.bytes && sameAppend;
        if (!right) wrong_.push_back({where, who, describe(answer), describe(expected)});
        return right;
    }

    const talavex_options* options_;
    bool listMisses_;
    std::vector<WrongRead> wrong_;
    std::vector<std::string> failures_;
};

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void add(Tally& total, const Tally& part) {
    total.total += part.total;
    total.exportRead += part.exportRead;
    total.readerRead += part.readerRead;
    total.exportWrong += part.exportWrong;
    total.readerWrong += part.readerWrong;
    total.exportMs.insert(total.exportMs.end(), part.exportMs.begin(), part.exportMs.end());
    total.readerMs.insert(total.readerMs.end(), part.readerMs.begin(), part.readerMs.end());
}

double percent(int part, int whole) { return whole > 0 ? 100.0 * part / whole : 0.0; }

void printRow(const std::string& name, const Tally& t) {
    std::printf("%-30s %6d %8.1f%% %8.1f%% %6d %6d %9.1f %9.1f\n", name.c_str(), t.total,
                percent(t.exportRead, t.total), percent(t.readerRead, t.total), t.exportWrong, t.readerWrong,
                median(t.exportMs), median(t.readerMs));
}

struct Counts {
    talavex_bench::ReadRateCounts images;
    bool misses = false;
};

Counts parse(int argc, char** argv) {
    static const option longOptions[] = {{"frames-per-class", required_argument, nullptr, 'f'},
                                         {"photos-per-class", required_argument, nullptr, 'p'},
                                         {"reader-per-class", required_argument, nullptr, 'r'},
                                         {"grain-per-class", required_argument, nullptr, 'g'},
                                         {"decoys-per-class", required_argument, nullptr, 'd'},
                                         {"seed", required_argument, nullptr, 's'},
                                         {"misses", no_argument, nullptr, 'm'},
                                         {nullptr, 0, nullptr, 0}};
    Counts counts;
    talavex_bench::ReadRateCounts& images = counts.images;
    int c = 0;
    while ((c = getopt_long(argc, argv, "", longOptions, nullptr)) != -1) {
        switch (c) {
            case 'f': images.frames = std::atoi(optarg); break;
            case 'p': images.photos = std::atoi(optarg); break;
            case 'r': images.reader = std::atoi(optarg); break;
            case 'g': images.grain = std::atoi(optarg); break;
            case 'd': images.decoys = std::atoi(optarg); break;
            case 's': images.seed = static_cast<std::uint32_t>(std::strtoul(optarg, nullptr, 10)); break;
            case 'm': counts.misses = true; break;
            default:
                std::fprintf(stderr,
                             "usage: %s [--frames-per-class N] [--photos-per-class N] [--reader-per-class N] "
                             "[--grain-per-class N] [--decoys-per-class N] [--seed S] [--misses]\n",
                             argv[0]);
                std::exit(2);
        }
    }
    return counts;
}

// The rows that close a group of classes, printed once its last class is done.
struct GroupTotals {
    Tally frames, withSymbol, withoutSymbol, reader, grain, decoys;

    void add(talavex_bench::ReadRateGroup group, bool hasSymbol, const Tally& tally) {
        using talavex_bench::ReadRateGroup;
        switch (group) {
            case ReadRateGroup::Frames: ::add(frames, tally); break;
            case ReadRateGroup::Photos: ::add(hasSymbol ? withSymbol : withoutSymbol, tally); break;
            case ReadRateGroup::Reader: ::add(reader, tally); break;
            case ReadRateGroup::Grain: ::add(grain, tally); break;
            case ReadRateGroup::Decoys: ::add(decoys, tally); break;
        }
    }

    void print(talavex_bench::ReadRateGroup group) const {
        using talavex_bench::ReadRateGroup;
        switch (group) {
            case ReadRateGroup::Frames: printRow("frames overall", frames); break;
            case ReadRateGroup::Photos:
                printRow("photos with symbol", withSymbol);
                printRow("photos without symbol", withoutSymbol);
                break;
            case ReadRateGroup::Reader: printRow("reader classes overall", reader); break;
            case ReadRateGroup::Grain: printRow("grain classes overall", grain); break;
            case ReadRateGroup::Decoys: printRow("decoys overall", decoys); break;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    const Counts counts = parse(argc, argv);
    talavex_options* options = talavex_options_new();
    if (options == nullptr || talavex_options_set_where(options, TALAVEX_WHERE_AUTO) != 0 ||
        talavex_options_set_inverted(options, 1) != 0) {
        std::fprintf(stderr, "talavex_reader_read_rate: cannot set the reader's options\n");
        return 2;
    }
    Report report(options, counts.misses);
    const double start = cpuMillis();

    std::printf("%-30s %6s %9s %9s %6s %6s %9s %9s\n", "class", "images", "export", "reader", "export", "reader",
                "export", "reader");
    std::printf("%-30s %6s %9s %9s %6s %6s %9s %9s\n", "", "", "read", "read", "wrong", "wrong", "median-ms",
                "median-ms");

    // Each image is drawn as the catalogue says, so that a listed wrong read
    // or miss can be drawn again alone from its seed.
    const std::vector<talavex_bench::ReadRateClass> catalogue = talavex_bench::readRateCatalogue(counts.images);
    GroupTotals totals;
    for (std::size_t k = 0; k < catalogue.size(); ++k) {
        const talavex_bench::ReadRateClass& cls = catalogue[k];
        talavex_bench::ReadRateImages images(cls);
        Tally tally;
        bool hasSymbol = true;
        for (int i = 0; i < cls.count; ++i) {
            const ReaderSample sample = images.next();
            hasSymbol = sample.sample.hasSymbol;
            report.measure(sample, cls.name + " " + images.source(), tally);
        }
        // As ever, a photo class without images prints no row of its own.
        if (cls.group != talavex_bench::ReadRateGroup::Photos || cls.count > 0) printRow(cls.name, tally);
        totals.add(cls.group, hasSymbol, tally);
        if (k + 1 == catalogue.size() || catalogue[k + 1].group != cls.group) totals.print(cls.group);
    }
    talavex_options_free(options);

    int readerWrong = 0;
    for (const WrongRead& w : report.wrongReads()) {
        std::printf("wrong read by the %s: %s: got %s, expected %s\n", w.who.c_str(), w.where.c_str(), w.got.c_str(),
                    w.expected.c_str());
        readerWrong += w.who == "reader";
    }
    for (const std::string& failure : report.failures()) std::printf("reader failed: %s\n", failure.c_str());
    std::printf("run time %.1f s of CPU; reader wrong reads: %d\n", (cpuMillis() - start) / 1000.0, readerWrong);
    return readerWrong > 0 || !report.failures().empty() ? 1 : 0;
}
