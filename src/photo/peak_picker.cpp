#include "photo/peak_picker.h"

#include <algorithm>
#include <cstdint>

namespace AztecCore {

namespace {

constexpr std::int32_t kCellsPerSide = 8;
constexpr std::uint32_t kMinimumPeak = 128;
constexpr std::size_t kMaxCandidates = 5;

struct PeakRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t value = 0;
};

}  // namespace

std::vector<CandidatePoint> pickPeaks(const Image::GrayBuf& depthMap) {
    const std::int32_t cw = depthMap.width() / kCellsPerSide;
    const std::int32_t ch = depthMap.height() / kCellsPerSide;
    if (cw < 1 || ch < 1) return {};
    // A remainder of fewer than eight pixels at the right or bottom is left out.
    const std::int32_t nx = depthMap.width() / cw;
    const std::int32_t ny = depthMap.height() / ch;

    std::vector<PeakRecord> records;
    for (std::int32_t cy = 0; cy < ny; ++cy) {
        for (std::int32_t cx = 0; cx < nx; ++cx) {
            PeakRecord best;
            for (std::int32_t y = cy * ch; y < (cy + 1) * ch; ++y) {
                for (std::int32_t x = cx * cw; x < (cx + 1) * cw; ++x) {
                    const std::uint32_t v = depthMap.pixel(x, y);
                    if (v > best.value) best = {x, y, v};
                }
            }
            if (best.value >= kMinimumPeak) records.push_back(best);
        }
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
