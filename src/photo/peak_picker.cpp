#include "photo/peak_picker.h"

#include <algorithm>
#include <cstdint>

namespace AztecCore {

namespace {

constexpr std::int32_t kCellsPerSide = 8;
constexpr std::size_t kMaxCandidates = 5;

struct PeakRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t value = 0;
};

constexpr std::int32_t kBlock = 16;

// A fixed count of lanes, which the compiler turns into vector code.
std::uint8_t blockMaximum(const std::uint8_t* __restrict pixels, std::uint8_t top) {
    for (std::int32_t i = 0; i < kBlock; ++i) top = std::max(top, pixels[i]);
    return top;
}

// Raises `best` to the first pixel of row y, columns [x0, x0 + n), that
// exceeds it, at that row's maximum.
void scanCellRow(const std::uint8_t* row, std::int32_t x0, std::int32_t n, std::int32_t y, PeakRecord& best) {
    std::uint8_t top = 0;
    std::int32_t i = 0;
    for (; i + kBlock <= n; i += kBlock) top = blockMaximum(row + x0 + i, top);
    for (; i < n; ++i) top = std::max(top, row[x0 + i]);
    if (top <= best.value) return;
    i = 0;
    while (row[x0 + i] != top) ++i;
    best = {x0 + i, y, top};
}

}  // namespace

std::vector<CandidatePoint> pickPeaks(const Image::GrayBuf& depthMap, std::uint32_t minimumPeak,
                                      const Deadline& deadline) {
    const std::int32_t cw = depthMap.width() / kCellsPerSide;
    const std::int32_t ch = depthMap.height() / kCellsPerSide;
    if (cw < 1 || ch < 1) return {};
    // A remainder of fewer than eight pixels at the right or bottom is left out.
    const std::int32_t nx = depthMap.width() / cw;
    const std::int32_t ny = depthMap.height() / ch;

    std::vector<PeakRecord> records;
    std::vector<PeakRecord> best(static_cast<std::size_t>(nx));
    for (std::int32_t cy = 0; cy < ny; ++cy) {
        std::fill(best.begin(), best.end(), PeakRecord{});
        // Row by row through the whole band of cells: each cell still sees
        // its pixels in row-major order, so it keeps the first of equal maxima.
        for (std::int32_t y = cy * ch; y < (cy + 1) * ch; ++y) {
            deadline.spend(depthMap.width());
            const std::uint8_t* row = depthMap.row(y);
            for (std::int32_t cx = 0; cx < nx; ++cx)
                scanCellRow(row, cx * cw, cw, y, best[static_cast<std::size_t>(cx)]);
        }
        for (const PeakRecord& b : best)
            if (b.value >= minimumPeak) records.push_back(b);
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const PeakRecord& a, const PeakRecord& b) { return a.value > b.value; });
    if (records.size() > kMaxCandidates) records.resize(kMaxCandidates);

    std::vector<CandidatePoint> points;
    points.reserve(records.size());
    for (const PeakRecord& r : records) points.push_back({r.x, r.y});
    return points;
}

}  // namespace AztecCore
