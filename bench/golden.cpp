// Golden check: every image of a fixed, seeded catalogue through the three
// exports, with the bytes each returns and the status text of the pass behind
// it, compared line by line with a committed file. Any change of behaviour,
// down to a corrected-error count, shows up as a differing line.
//
//   talavex_golden --check FILE [--subset N] [--subset-seed S] [--only PREFIX] [--times]
//   talavex_golden --write FILE
//   talavex_golden [--subset N] [--subset-seed S] [--only PREFIX] [--times]   (lines to stdout)
//
// --subset N takes every N-th image of the catalogue, from an offset chosen
// by the subset seed, and compares it with the same lines of the full file;
// --only takes the images whose key starts with PREFIX (e.g. "photo/");
// --times prints each image's seconds (rendering included) to stderr.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "golden_images.h"
#include "golden_passes.h"

namespace {

using talavex_bench::GoldenEntry;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kCatalogueSeed = 20261208;

struct Options {
    std::string checkFile;
    std::string writeFile;
    int subset = 1;
    std::uint32_t subsetSeed = 0;
    std::string only;  // key prefix
    bool times = false;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--times") {
            options.times = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (arg == "--check")
            options.checkFile = value;
        else if (arg == "--write")
            options.writeFile = value;
        else if (arg == "--subset")
            options.subset = std::atoi(value);
        else if (arg == "--only")
            options.only = value;
        else if (arg == "--subset-seed")
            options.subsetSeed = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
        else
            return false;
    }
    if (options.subset < 1) return false;
    // A subset written out would replace the full file with a part of it.
    return options.writeFile.empty() || (options.checkFile.empty() && options.subset == 1 && options.only.empty());
}

std::string keyOf(const std::string& line) { return line.substr(0, line.find(' ')); }

struct FileLine {
    std::size_t number;
    std::string text;
};

bool readLines(const std::string& path, std::vector<FileLine>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line[0] != '#') lines.push_back({number, line});
    }
    return true;
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines, std::size_t images) {
    std::ofstream out(path, std::ios::binary);
    out << "# talavex golden outputs: " << images << " images, one line per image and export:\n"
        << "#   KEY WxH EXPORT OUTCOME status=\"PASS STATUS TEXT\" result=\"RETURNED BYTES\"\n"
        << "# Written by talavex_golden --write; compared by the golden_exports test.\n";
    for (const std::string& line : lines) out << line << '\n';
    return static_cast<bool>(out);
}

// Prints the first differing lines; returns whether the two lists are equal.
bool compare(const std::vector<FileLine>& expected, const std::vector<std::string>& actual) {
    constexpr int kShown = 10;
    int shown = 0;
    std::size_t differing = 0;
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (expected[i].text == actual[i]) continue;
        ++differing;
        if (shown++ < kShown) {
            std::printf("line %zu of the file differs:\n  expected: %s\n  actual:   %s\n", expected[i].number,
                        expected[i].text.c_str(), actual[i].c_str());
        }
    }
    if (expected.size() != actual.size()) {
        std::printf("%zu lines expected, %zu produced\n", expected.size(), actual.size());
        if (expected.size() > actual.size())
            std::printf("first line not produced: %s\n", expected[common].text.c_str());
        else
            std::printf("first line not in the file: %s\n", actual[common].c_str());
    }
    if (differing > 0) std::printf("%zu of %zu lines differ\n", differing, common);
    return differing == 0 && expected.size() == actual.size();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: talavex_golden [--check FILE] [--subset N] [--subset-seed S] [--only PREFIX] [--times]\n"
                     "       talavex_golden --write FILE\n");
        return 2;
    }

    const std::vector<GoldenEntry> catalogue = talavex_bench::goldenCatalogue(kCatalogueSeed);
    const std::size_t offset = options.subsetSeed % static_cast<std::uint32_t>(options.subset);
    std::vector<std::string> lines;
    std::vector<std::string> mismatches;
    std::set<std::string> keys;
    std::map<std::string, double> groupSeconds;
    std::vector<std::string> groupOrder;
    const auto start = Clock::now();
    for (std::size_t i = offset; i < catalogue.size(); i += static_cast<std::size_t>(options.subset)) {
        const GoldenEntry& entry = catalogue[i];
        if (entry.key.compare(0, options.only.size(), options.only) != 0) continue;
        const auto begin = Clock::now();
        const auto image = entry.make();
        const auto more = talavex_bench::goldenLines(entry.key, image, static_cast<std::uint32_t>(i + 1), mismatches);
        lines.insert(lines.end(), more.begin(), more.end());
        keys.insert(entry.key);
        if (groupSeconds.count(entry.group) == 0) groupOrder.push_back(entry.group);
        const double imageSeconds = std::chrono::duration<double>(Clock::now() - begin).count();
        groupSeconds[entry.group] += imageSeconds;
        if (options.times) std::fprintf(stderr, "%s %.3f s\n", entry.key.c_str(), imageSeconds);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    // With the lines going to stdout, the summary goes to stderr.
    std::FILE* report = options.checkFile.empty() && options.writeFile.empty() ? stderr : stdout;
    std::fprintf(report, "%zu of %zu images, %zu lines, %.1f s\n", keys.size(), catalogue.size(), lines.size(),
                 seconds);
    for (const std::string& group : groupOrder) {
        std::fprintf(report, "  %-26s %8.1f s\n", group.c_str(), groupSeconds[group]);
    }
    for (const std::string& m : mismatches) std::fprintf(report, "pass and export disagree: %s\n", m.c_str());

    if (!options.writeFile.empty()) {
        if (!writeLines(options.writeFile, lines, keys.size())) {
            std::fprintf(stderr, "cannot write %s\n", options.writeFile.c_str());
            return 2;
        }
        return mismatches.empty() ? 0 : 1;
    }
    if (options.checkFile.empty()) {
        for (const std::string& line : lines) std::printf("%s\n", line.c_str());
        return mismatches.empty() ? 0 : 1;
    }
    std::vector<FileLine> expected;
    if (!readLines(options.checkFile, expected)) {
        std::fprintf(stderr, "cannot read %s\n", options.checkFile.c_str());
        return 2;
    }
    std::vector<FileLine> wanted;
    for (const FileLine& line : expected) {
        if (keys.count(keyOf(line.text)) != 0) wanted.push_back(line);
    }
    const bool same = compare(wanted, lines);
    if (!same) std::printf("regenerate on purpose with: talavex_golden --write %s\n", options.checkFile.c_str());
    return same && mismatches.empty() ? 0 : 1;
}
