#include "photo/finder_scan.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "photo/local_binary.h"

namespace AztecCore {

namespace {

// Along a column, the runs of a finder turned or foreshortened may be this
// much wider or narrower than along the row.
constexpr float kMostAspect = 2.5f;
// A run within this fraction of the runs' mean width (or within a pixel and
// a quarter, which rounding alone can make up at small modules) is equal.
constexpr float kRunTolerance = 0.5f;
// Modules narrower than this cannot be told from pixel noise along one line.
constexpr float kNarrowestModule = 1.4f;
static_assert(kRunTolerance == 0.5f, "the integer matching takes half the mean width");
// Longer runs are held to this length in the vector weeding, whose sums of
// seven runs, and nine times a run, must fit 16 bits: modules that wide are
// the centre search's.
constexpr std::int32_t kLongestRun = 2047;
// Rows through one centre module: the candidates of the last this many rows
// are where a hit may belong.
constexpr std::int32_t kLongestRecent = 64;

// Runs of 2h + 1 alternating colours, the outer two of which only have to
// be long enough (they may merge with what lies beyond the finder): the
// inner ones of one width, with the centre run in the middle of them.
struct RunMatch {
    bool found = false;
    float module = 0.0f;
    float centre = 0.0f;  // of the centre run, from the start of the first run
};

// How the centre shows: its module alone, or run together with the light
// ring around it into one run three modules wide, where blur has left the
// single module too grey to stand apart (the innermost ring blurs first:
// it has light on every side).
enum class CentreShape { Sharp, Blurred };

template <std::int32_t h>
RunMatch matchRunsOf(const std::int32_t* runs, CentreShape shape) {
    constexpr std::int32_t n = 2 * h + 1;
    const std::int32_t centreModules = shape == CentreShape::Blurred ? 3 : 1;
    // The inner runs span this many modules.
    const std::int32_t units = n - 3 + centreModules;
    std::int32_t sum = 0;
    for (std::int32_t k = 1; k < n - 1; ++k) sum += runs[k];
    if (10 * sum < static_cast<std::int32_t>(10 * kNarrowestModule) * units) return {};
    // In units of 1 / units pixels: a run r of one module is equal when
    // |units r - sum| is within the tolerance, half the mean or a pixel and a
    // quarter (a line that misses the centre by a pixel cuts the centre
    // module short); the centre run is its modules times that.
    const std::int32_t tolerance = std::max(sum / 2, units + units / 4);
    if (std::abs(units * runs[h] - centreModules * sum) > tolerance * centreModules) return {};
    // From the centre outwards: in noise, the first comparisons already fail.
    for (std::int32_t d = 1; d < h; ++d) {
        if (std::abs(units * runs[h + d] - sum) > tolerance) return {};
        if (std::abs(units * runs[h - d] - sum) > tolerance) return {};
    }
    if (units * runs[0] < sum - tolerance || units * runs[n - 1] < sum - tolerance) return {};
    std::int32_t before = 0;
    for (std::int32_t k = 0; k < h; ++k) before += runs[k];
    // The centre run's middle against the middle of the inner runs, both
    // doubled and in the same units.
    if (std::abs(units * (2 * before + runs[h] - 2 * runs[0] - sum)) > 2 * tolerance) return {};
    return {true, static_cast<float>(sum) / static_cast<float>(units),
            static_cast<float>(before) + 0.5f * static_cast<float>(runs[h])};
}

RunMatch matchRuns(const std::int32_t* runs, std::int32_t h, CentreShape shape) {
    return h == 6 ? matchRunsOf<6>(runs, shape) : matchRunsOf<4>(runs, shape);
}

// The finder crossed at pixel i of line j with about `module` pixels a
// module along the lines: the runs across them (along line i of `across`,
// from pixel j), matched. Sets the centre of the centre run, from pixel j's
// centre, and the module along that line.
bool crossCheck(const BitLines& across, std::int32_t i, std::int32_t j, std::int32_t h, CentreShape shape, float module,
                float& centre, float& found) {
    const auto reach = static_cast<std::int32_t>(std::ceil(static_cast<float>(h + 1) * module * kMostAspect)) + 2;
    std::int32_t runs[13] = {};
    std::int32_t back[7] = {};
    std::int32_t ahead[7] = {};
    // back[0] and ahead[0] both count pixel j; each further run starts where
    // the one before it ends.
    for (std::int32_t side = 0; side < 2; ++side) {
        const std::int32_t step = side == 0 ? -1 : 1;
        std::int32_t* lengths = side == 0 ? back : ahead;
        std::int32_t p = j;
        for (std::int32_t k = 0; k <= h; ++k) {
            if (p < 0 || p >= across.length()) return false;
            lengths[k] = across.runFrom(p, i, step, reach);
            p += step * lengths[k];
        }
    }
    for (std::int32_t k = 0; k < h; ++k) runs[k] = back[h - k];
    runs[h] = back[0] + ahead[0] - 1;
    for (std::int32_t k = 1; k <= h; ++k) runs[h + k] = ahead[k];
    const RunMatch m = matchRuns(runs, h, shape);
    if (!m.found || m.module > module * kMostAspect || m.module * kMostAspect < module) return false;
    std::int32_t before = 0;
    for (std::int32_t k = 0; k < h; ++k) before += runs[k];
    // Pixel j is pixel back[0] - 1 of the centre run.
    centre = m.centre - static_cast<float>(before + back[0] - 1) - 0.5f;
    found = m.module;
    return true;
}

// Along a diagonal (dx = +1 or -1, down the rows) through the centre
// (cx, cy), in continuous pixel coordinates: the gray levels sampled every
// half pixel between the pixel centres, against `threshold`. A diagonal of
// an upright finder runs through its ring corners, where binarised pixels
// are cut unevenly; the levels there still cross the threshold at the corner.
bool diagonalCheck(const Image::GrayBuf& image, float cx, float cy, std::int32_t dx, std::int32_t h, CentreShape shape,
                   float module, std::uint8_t threshold) {
    constexpr float kStep = 0.5f;  // pixels along x and along y per sample
    const auto reach =
        static_cast<std::int32_t>(std::ceil(static_cast<float>(h + 1) * module * kMostAspect / kStep)) + 2;
    const auto dark = [&](float x, float y, bool& inside) {
        // Bilinear between the four pixel centres around (x, y).
        const float fx = x - 0.5f;
        const float fy = y - 0.5f;
        const auto x0 = static_cast<std::int32_t>(std::floor(fx));
        const auto y0 = static_cast<std::int32_t>(std::floor(fy));
        inside = x0 >= 0 && y0 >= 0 && x0 + 1 < image.width() && y0 + 1 < image.height();
        if (!inside) return false;
        const float ax = fx - static_cast<float>(x0);
        const float ay = fy - static_cast<float>(y0);
        const std::uint8_t* top = image.row(y0) + x0;
        const std::uint8_t* bottom = image.row(y0 + 1) + x0;
        const float upper = static_cast<float>(top[0]) + ax * static_cast<float>(top[1] - top[0]);
        const float lower = static_cast<float>(bottom[0]) + ax * static_cast<float>(bottom[1] - bottom[0]);
        return upper + ay * (lower - upper) < static_cast<float>(threshold);
    };
    bool inside = true;
    const bool centreDark = dark(cx, cy, inside);
    if (!inside) return false;
    std::int32_t back[7] = {};
    std::int32_t ahead[7] = {};
    for (std::int32_t side = 0; side < 2; ++side) {
        const float step = side == 0 ? -kStep : kStep;
        std::int32_t* lengths = side == 0 ? back : ahead;
        std::int32_t run = 0;
        bool colour = centreDark;
        std::int32_t length = 0;
        for (std::int32_t k = 0; k < reach && run <= h; ++k) {
            const float t = static_cast<float>(k) * step;
            const bool d = dark(cx + t * static_cast<float>(dx), cy + t, inside);
            if (!inside) break;
            if (d != colour) {
                lengths[run++] = length;
                colour = !colour;
                length = 0;
            }
            ++length;
        }
        if (run < h) return false;
        if (run == h) lengths[h] = length;
    }
    std::int32_t runs[13] = {};
    for (std::int32_t k = 0; k < h; ++k) runs[k] = back[h - k];
    runs[h] = back[0] + ahead[0] - 1;
    for (std::int32_t k = 1; k <= h; ++k) runs[h + k] = ahead[k];
    const RunMatch m = matchRuns(runs, h, shape);
    const float diagonalModule = m.module * kStep;
    return m.found && diagonalModule <= module * kMostAspect && diagonalModule * kMostAspect >= module;
}

class FinderScan {
public:
    FinderScan(const Image::GrayBuf& image, const LocalBinary& binary, const BitLines& columns,
               std::vector<FinderCandidate>& found)
        : image_(image), binary_(binary), rows_(binary.rows), columns_(columns), found_(found) {}

    void scanRow(std::int32_t y) {
        // Where each run of the row starts, the first at 0.
        starts_.clear();
        starts_.push_back(0);
        const std::uint64_t* row = rows_.line(y);
        const std::size_t words = rows_.words();
        std::uint64_t previous = row[0] & 1u;
        const bool firstDark = previous != 0;
        for (std::size_t k = 0; k < words; ++k) {
            const std::uint64_t word = row[k];
            std::uint64_t changes = word ^ ((word << 1) | previous);
            previous = word >> 63;
            const auto base = static_cast<std::int32_t>(k * 64);
            if (base + 64 > rows_.length()) changes &= (std::uint64_t{1} << (rows_.length() - base)) - 1;
            while (changes != 0) {
                starts_.push_back(base + static_cast<std::int32_t>(lowestBit(changes)));
                changes &= changes - 1;
            }
        }
        const auto runs = static_cast<std::int32_t>(starts_.size()) - 1;  // complete runs; the last one is open
        if (runs < 9) return;
        lengths_.resize(static_cast<std::size_t>(runs));
        narrow_.assign(static_cast<std::size_t>(runs) + 16, 0);
        for (std::int32_t k = 0; k < runs; ++k) {
            const std::int32_t length = starts_[static_cast<std::size_t>(k) + 1] - starts_[static_cast<std::size_t>(k)];
            lengths_[static_cast<std::size_t>(k)] = length;
            narrow_[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(std::min(length, kLongestRun));
        }
        for (std::int32_t c = 4; c + 4 < runs; c += 8) {
            std::uint32_t maybe = innerRunsEqual(c, runs);
            while (maybe != 0) {
                const std::uint32_t bit = lowestBit(maybe);
                maybe &= maybe - 1;
                const CentreShape shape = bit >= 8 ? CentreShape::Blurred : CentreShape::Sharp;
                matchAt(c + static_cast<std::int32_t>(bit & 7u), runs, y, firstDark, shape);
            }
        }
    }

private:
    // Of the eight windows centred on runs c .. c + 7, a bit for each whose
    // seven inner runs may be equal, or equal but for a centre run three
    // times as wide (bits 8 to 15), and wide enough: the vectors weed out
    // nearly every window of noise or text, the scalar match decides.
    std::uint32_t innerRunsEqual(std::int32_t c, std::int32_t runs) const {
        std::uint32_t bits = 0;
#if defined(__SSE2__)
        const std::int16_t* r = narrow_.data() + c;
        __m128i v[7];
        __m128i sum = _mm_setzero_si128();
        for (std::int32_t d = 0; d < 7; ++d) {
            v[d] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + d - 3));
            sum = _mm_add_epi16(sum, v[d]);
        }
        const __m128i one = _mm_set1_epi16(1);
        const auto within = [&](__m128i off, __m128i tolerance) {
            const __m128i limit = _mm_add_epi16(tolerance, one);
            return _mm_and_si128(_mm_cmpgt_epi16(limit, off),
                                 _mm_cmpgt_epi16(off, _mm_sub_epi16(_mm_setzero_si128(), limit)));
        };
        const auto times = [](__m128i x, std::int32_t k) {
            return k == 7 ? _mm_sub_epi16(_mm_slli_epi16(x, 3), x) : _mm_add_epi16(_mm_slli_epi16(x, 3), x);
        };
        // Seven runs of one module, or six and a centre of three, no
        // narrower than the narrowest module.
        const __m128i sharpTolerance = _mm_max_epi16(_mm_srai_epi16(sum, 1), _mm_set1_epi16(7 + 7 / 4));
        const __m128i blurTolerance = _mm_max_epi16(_mm_srai_epi16(sum, 1), _mm_set1_epi16(9 + 9 / 4));
        __m128i sharp = _mm_cmpgt_epi16(sum, _mm_set1_epi16(9));
        __m128i blurred = _mm_cmpgt_epi16(sum, _mm_set1_epi16(12));
        for (std::int32_t d = 0; d < 7; ++d) {
            sharp = _mm_and_si128(sharp, within(_mm_sub_epi16(times(v[d], 7), sum), sharpTolerance));
            // The centre of three modules: |9 c - 3 sum| within 3 tolerances.
            const __m128i off = d == 3 ? _mm_sub_epi16(_mm_add_epi16(_mm_slli_epi16(v[d], 1), v[d]), sum)
                                       : _mm_sub_epi16(times(v[d], 9), sum);
            blurred = _mm_and_si128(blurred, within(off, blurTolerance));
        }
        const auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(sharp, blurred)));
        bits = mask & 0xFFFFu;
#else
        for (std::int32_t k = 0; k < 8; ++k) {
            std::int32_t sum = 0;
            for (std::int32_t d = -3; d <= 3; ++d) sum += narrow_[static_cast<std::size_t>(c + k + d)];
            bool sharp = sum > 9;
            bool blurred = sum > 12;
            const std::int32_t sharpTolerance = std::max(sum / 2, 7 + 7 / 4);
            const std::int32_t blurTolerance = std::max(sum / 2, 9 + 9 / 4);
            for (std::int32_t d = -3; d <= 3; ++d) {
                const std::int32_t run = narrow_[static_cast<std::size_t>(c + k + d)];
                sharp = sharp && std::abs(7 * run - sum) <= sharpTolerance;
                blurred = blurred && std::abs((d == 0 ? 3 : 9) * run - sum) <= blurTolerance;
            }
            if (sharp) bits |= 1u << k;
            if (blurred) bits |= 1u << (k + 8);
        }
#endif
        // Windows whose outer run would lie past the last complete run.
        const std::int32_t last = runs - 5 - c;
        if (last < 7) bits &= ((1u << (last + 1)) - 1u) * 0x101u;
        return bits;
    }

    void matchAt(std::int32_t c, std::int32_t runs, std::int32_t y, bool firstDark, CentreShape shape) {
        const std::int32_t* around = lengths_.data() + c;
        const RunMatch m = matchRuns(around - 4, 4, shape);
        if (!m.found) return;
        // A full-range finder shows two rings more.
        const bool full = c >= 6 && c + 6 < runs && matchRuns(around - 6, 6, shape).found;
        const std::int32_t h = full ? 6 : 4;
        const RunMatch use = full ? matchRuns(around - h, h, shape) : m;
        const bool runDark = firstDark != ((c & 1) != 0);
        hit(static_cast<float>(starts_[static_cast<std::size_t>(c - h)]) + use.centre, y, use.module, h, shape,
            runDark);
    }

private:
    // A finder crossed along row y with its centre run at fx, of colour
    // `runDark`: checked along its column, its row and its diagonals.
    void hit(float fx, std::int32_t y, float module, std::int32_t h, CentreShape shape, bool runDark) {
        const auto x = static_cast<std::int32_t>(fx);
        float dy = 0.0f, moduleY = 0.0f, dx = 0.0f, moduleX = 0.0f;
        if (!crossCheck(columns_, x, y, h, shape, module, dy, moduleY)) return;
        const auto cy = static_cast<std::int32_t>(std::floor(static_cast<float>(y) + 0.5f + dy));
        if (cy < 0 || cy >= rows_.lines() || rows_.at(x, cy) != runDark) return;
        // Another row through the centre module of a finder already found.
        for (auto it = found_.rbegin(); it != found_.rend() && y - it->centre.y <= kLongestRecent; ++it) {
            if (it->centre.y == cy &&
                std::abs(it->centre.x - x) <= std::max(static_cast<std::int32_t>(it->moduleX), 1)) {
                ++it->rows;
                return;
            }
        }
        // Along the row through the centre found, for the centre's x.
        if (!crossCheck(rows_, cy, x, h, shape, module, dx, moduleX)) return;
        const auto cx = static_cast<std::int32_t>(std::floor(static_cast<float>(x) + 0.5f + dx));
        // Square rings show equal runs along the diagonals too, where the
        // coincidences of print or clutter along a row and a column rarely do.
        if (cx < 0 || cx >= rows_.length() || rows_.at(cx, cy) != runDark) return;
        const float centreX = static_cast<float>(x) + 0.5f + dx;
        const float centreY = static_cast<float>(y) + 0.5f + dy;
        const std::uint8_t threshold = binary_.thresholdAt(cx, cy);
        if (!diagonalCheck(image_, centreX, centreY, 1, h, shape, moduleX, threshold) ||
            !diagonalCheck(image_, centreX, centreY, -1, h, shape, moduleX, threshold))
            return;
        // A blurred centre's run is the light ring around a dark module.
        const bool dark = runDark != (shape == CentreShape::Blurred);
        found_.push_back({{cx, cy}, moduleX, moduleY, !dark, static_cast<std::uint32_t>(h), 1});
    }

    const Image::GrayBuf& image_;
    const LocalBinary& binary_;
    const BitLines& rows_;
    const BitLines& columns_;
    std::vector<FinderCandidate>& found_;
    std::vector<std::int32_t> starts_;
    std::vector<std::int32_t> lengths_;
    std::vector<std::int16_t> narrow_;  // the lengths held to kLongestRun, and 16 zeros beyond
};

}  // namespace

std::vector<FinderCandidate> scanFinders(const Image::GrayBuf& image, const LocalBinary& binary, std::size_t limit,
                                         const Deadline& deadline) {
    std::vector<FinderCandidate> found;
    if (image.width() < 1 || image.height() < 1) return found;
    deadline.check();
    const BitLines columns = transposed(binary.rows, deadline);
    FinderScan scan(image, binary, columns, found);
    for (std::int32_t y = 0; y < binary.rows.lines(); ++y) {
        deadline.spend(image.width());
        scan.scanRow(y);
    }
    std::stable_sort(found.begin(), found.end(), [](const FinderCandidate& a, const FinderCandidate& b) {
        return a.rows != b.rows ? a.rows > b.rows : a.rings > b.rings;
    });
    if (found.size() > limit) found.resize(limit);
    return found;
}

}  // namespace AztecCore
