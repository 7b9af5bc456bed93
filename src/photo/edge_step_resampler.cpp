#include "photo/edge_step_resampler.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/checked_access.h"
#include "photo/edge_steps.h"

namespace AztecCore {

using Image::GrayBuf;

namespace {

// Working storage of one pass, sized once for its profile and output lengths.
struct ProfileResampler {
    ProfileResampler(std::int32_t profileLength, std::int32_t outputLength)
        : profile(static_cast<std::size_t>(profileLength)),
          differences(static_cast<std::size_t>(profileLength)),
          grid(outputLength) {
        edges.reserve(profile.size());
    }

    // Reads `profile`, writes the redrawn profile to out[0 .. output length).
    void run(std::uint8_t* out) {
        if (!differences.empty()) differences[0] = 0;
        for (std::size_t i = 1; i < profile.size(); ++i)
            differences[i] = std::int32_t{profile[i]} - std::int32_t{profile[i - 1]};
        extractEdgeSteps(differences, edges);
        // The staircase starts at the profile's first value; an empty profile
        // has none, and reading it raises like any access outside an image.
        renderEdgeSteps(edges, checkedAt(profile, 0), grid, out);
    }

    std::vector<std::uint8_t> profile;
    std::vector<std::int32_t> differences;
    std::vector<EdgeStep> edges;
    SamplePositions grid;
};

// Columns rendered per batch: their output is gathered column-major and then
// written to the destination row by row, so neither side is walked with a
// stride of a whole row per byte.
constexpr std::int32_t kColumnBatch = 64;

}  // namespace

void resampleEdgeSteps(GrayBuf& destination, const GrayBuf& source) {
    const std::int32_t srcW = source.width();
    const std::int32_t srcH = std::max(source.height(), 0);
    const std::int32_t dstW = destination.width();
    const std::int32_t dstH = destination.height();
    if (dstW < 1 || dstH < 1) return;  // nothing to write

    // Rows first, into an image of the destination's width and the source's height.
    const auto rowLength = static_cast<std::size_t>(dstW);
    std::vector<std::uint8_t> widened(rowLength * static_cast<std::size_t>(srcH));
    ProfileResampler rows(srcW, dstW);
    for (std::int32_t y = 0; y < srcH; ++y) {
        const std::uint8_t* sourceRow = source.row(y);
        std::copy(sourceRow, sourceRow + rows.profile.size(), rows.profile.begin());
        rows.run(widened.data() + static_cast<std::size_t>(y) * rowLength);
    }

    // Then every column of the widened image to the destination's height.
    const auto columnLength = static_cast<std::size_t>(dstH);
    ProfileResampler columns(srcH, dstH);
    std::vector<std::uint8_t> batch(columnLength * kColumnBatch);
    for (std::int32_t x0 = 0; x0 < dstW; x0 += kColumnBatch) {
        const std::int32_t n = std::min(kColumnBatch, dstW - x0);
        for (std::int32_t i = 0; i < n; ++i) {
            const std::size_t x = static_cast<std::size_t>(x0 + i);
            for (std::size_t y = 0; y < columns.profile.size(); ++y) columns.profile[y] = widened[y * rowLength + x];
            columns.run(batch.data() + static_cast<std::size_t>(i) * columnLength);
        }
        for (std::int32_t y = 0; y < dstH; ++y) {
            std::uint8_t* out = destination.row(y) + x0;
            for (std::int32_t i = 0; i < n; ++i)
                out[i] = batch[static_cast<std::size_t>(i) * columnLength + static_cast<std::size_t>(y)];
        }
    }
}

}  // namespace AztecCore
