// What a read through the reader API costs against the export that reads the
// same image, in one run: per class of the speed report (frames, photos,
// clean and damaged symbols), on the images the export reads, the median CPU
// time per image of both calls and their ratio. The reader is asked to look
// where the export looks (centre for frames, anywhere for photos), so its
// fallbacks do not run and the ratio is the cost of the API itself.
//
//   talavex_reader_cost [--frames N] [--photos N] [--reps N]
#include <getopt.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "speed_classes.h"
#include "talavex/reader.h"
#include "talavex/talavex.h"

namespace {

using talavex_bench::Export;
using talavex_bench::SpeedImage;

double cpuMillis() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The fastest of `reps` calls.
template <typename Call>
double fastest(int reps, Call call) {
    double best = 1e300;
    for (int r = 0; r < reps; ++r) {
        const double start = cpuMillis();
        call();
        best = std::min(best, cpuMillis() - start);
    }
    return best;
}

std::string exportText(Export which, const SpeedImage& image) {
    char* out = which == Export::Y      ? recognizeY(image.bytes.data(), image.width, image.height)
                : which == Export::BGRA ? recognizeBGRA(image.bytes.data(), image.width, image.height)
                                        : recognizePhotoBGRA(image.bytes.data(), image.width, image.height);
    std::string text = out != nullptr ? out : "";
    std::free(out);
    return text;
}

// The reader's first symbol's bytes, or "" when it read none.
std::string readerBytes(const talavex_image& view, const talavex_options* options) {
    talavex_results* results = talavex_read(&view, options);
    std::string bytes;
    if (talavex_results_count(results) > 0 && talavex_symbol_status_of(results, 0) == TALAVEX_SYMBOL_READ) {
        size_t length = 0;
        const uint8_t* data = talavex_symbol_bytes(results, 0, &length);
        bytes.assign(reinterpret_cast<const char*>(data), length);
    }
    talavex_results_free(results);
    return bytes;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

struct Row {
    std::vector<double> exportMs, readerMs;
    int differ = 0;  // images where the reader's bytes differ from the export's
};

}  // namespace

int main(int argc, char** argv) {
    talavex_bench::SpeedPlan plan;
    plan.worstCases = false;
    plan.emptyPerKind = 0;
    int reps = 3;
    static const option longOptions[] = {{"frames", required_argument, nullptr, 'f'},
                                         {"photos", required_argument, nullptr, 'p'},
                                         {"reps", required_argument, nullptr, 'r'},
                                         {nullptr, 0, nullptr, 0}};
    for (int c; (c = getopt_long(argc, argv, "", longOptions, nullptr)) != -1;) {
        switch (c) {
            case 'f': plan.framesPerClass = std::atoi(optarg); break;
            case 'p': plan.photosPerClass = std::atoi(optarg); break;
            case 'r': reps = std::max(1, std::atoi(optarg)); break;
            default: std::fprintf(stderr, "usage: %s [--frames N] [--photos N] [--reps N]\n", argv[0]); return 2;
        }
    }

    talavex_options* options = talavex_options_new();
    std::map<std::string, Row> rows;
    std::vector<std::string> order;
    for (const auto& cls : talavex_bench::speedClasses(plan)) {
        if (cls.isolated || cls.count == 0) continue;
        const std::string& name = cls.summary.empty() ? cls.name : cls.summary;
        const bool photo = cls.which == Export::PhotoBGRA;
        talavex_options_set_where(options, photo ? TALAVEX_WHERE_ANYWHERE : TALAVEX_WHERE_CENTRE);
        if (rows.find(name) == rows.end()) order.push_back(name);
        Row& row = rows[name];
        for (int i = 0; i < cls.count; ++i) {
            const SpeedImage image = cls.make(i);
            const std::string expected = exportText(cls.which, image);
            if (expected.empty() || expected == "error") continue;
            const bool gray = cls.which == Export::Y;
            const talavex_image view{image.bytes.data(), image.width, image.height,
                                     gray ? image.width : image.width * 4, gray ? TALAVEX_GRAY8 : TALAVEX_BGRA};
            // The export stops at a zero byte; compare what both return up to it.
            if (readerBytes(view, options).substr(0, expected.size()) != expected) ++row.differ;
            row.exportMs.push_back(fastest(reps, [&] { exportText(cls.which, image); }));
            row.readerMs.push_back(fastest(reps, [&] { readerBytes(view, options); }));
        }
    }
    talavex_options_free(options);

    std::printf("CPU time per image the export reads, fastest of %d calls; median per class\n\n", reps);
    std::printf("%-34s %6s %12s %12s %8s %7s\n", "class", "n", "export-ms", "reader-ms", "ratio", "differ");
    for (const std::string& name : order) {
        const Row& row = rows[name];
        const double e = median(row.exportMs);
        const double r = median(row.readerMs);
        std::printf("%-34s %6zu %12.3f %12.3f %8.3f %7d\n", name.c_str(), row.exportMs.size(), e, r,
                    e > 0 ? r / e : 0.0, row.differ);
    }
    return 0;
}
