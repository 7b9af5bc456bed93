#include "search/tight_frame.h"

#include <algorithm>
#include <vector>

namespace AztecCore {

namespace {

// Beyond this the enlarged modules carry no more detail, only cost.
constexpr std::int32_t kMaxFactor = 8;

// Where an enlarged row or column samples its source: output pixel i's centre
// lies at (i + 0.5) / k - 0.5 source pixels, between `low` and `low + 1` at
// `weight` / (2k) of the way (held at the first and last pixel).
struct Tap {
    std::int32_t low = 0;
    std::int32_t high = 0;
    std::int32_t weight = 0;
};

std::vector<Tap> taps(std::int32_t side, std::int32_t k) {
    std::vector<Tap> out(static_cast<std::size_t>(side) * static_cast<std::size_t>(k));
    const std::int32_t last = 2 * k * (side - 1);
    for (std::int32_t i = 0; i < side * k; ++i) {
        const std::int32_t at = std::clamp(2 * i + 1 - k, 0, last);
        Tap& t = out[static_cast<std::size_t>(i)];
        t.low = at / (2 * k);
        t.high = std::min(t.low + 1, side - 1);
        t.weight = at % (2 * k);
    }
    return out;
}

// Bilinear rather than nearest: a module edge that falls inside a pixel keeps
// its position as a grey level, which the nearest pixel would round to a
// whole source pixel, a third or half of a module at these sizes.
void enlargeInto(Image::GrayBuf& out, std::int32_t origin, const Image::GrayBuf& image, std::int32_t k,
                 const Deadline& deadline) {
    // Factor 1 samples every pixel at its own centre: the rows are copied.
    if (k == 1) {
        for (std::int32_t y = 0; y < image.height(); ++y) {
            deadline.spend(image.width());
            std::copy(image.row(y), image.row(y) + image.width(), out.row(origin + y) + origin);
        }
        return;
    }
    const std::vector<Tap> columns = taps(image.width(), k);
    const std::vector<Tap> rows = taps(image.height(), k);
    const std::int32_t span = 2 * k;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        deadline.spend(static_cast<std::int64_t>(columns.size()));
        const Tap& r = rows[y];
        const std::uint8_t* top = image.row(r.low);
        const std::uint8_t* bottom = image.row(r.high);
        std::uint8_t* row = out.row(origin + static_cast<std::int32_t>(y)) + origin;
        for (std::size_t x = 0; x < columns.size(); ++x) {
            const Tap& c = columns[x];
            const std::int32_t upper = top[c.low] * (span - c.weight) + top[c.high] * c.weight;
            const std::int32_t lower = bottom[c.low] * (span - c.weight) + bottom[c.high] * c.weight;
            const std::int32_t sum = upper * (span - r.weight) + lower * r.weight;
            row[x] = static_cast<std::uint8_t>((sum + span * span / 2) / (span * span));
        }
    }
}

}  // namespace

std::uint8_t lightLevel(const Image::GrayBuf& image, const Deadline& deadline) {
    const std::int64_t count = std::int64_t{image.width()} * image.height();
    if (count <= 0) return 255;
    // One pass into a histogram; both means are then sums over its 256 levels.
    std::uint64_t histogram[256] = {};
    for (std::int32_t y = 0; y < image.height(); ++y) {
        deadline.spend(image.width());
        const std::uint8_t* row = image.row(y);
        for (std::int32_t x = 0; x < image.width(); ++x) ++histogram[row[x]];
    }
    std::uint64_t sum = 0;
    for (std::uint32_t g = 0; g < 256; ++g) sum += histogram[g] * g;
    const std::uint64_t mean = sum / static_cast<std::uint64_t>(count);
    std::uint64_t lightSum = 0;
    std::uint64_t lightCount = 0;
    for (std::uint64_t g = mean + 1; g < 256; ++g) {
        lightSum += histogram[g] * g;
        lightCount += histogram[g];
    }
    return static_cast<std::uint8_t>(lightCount == 0 ? mean : lightSum / lightCount);
}

std::optional<TightFrame> frameTight(const Image::GrayBuf& image, std::int32_t minSide, std::int32_t maxSide,
                                     const Deadline& deadline) {
    const std::int32_t w = image.width();
    const std::int32_t h = image.height();
    if (w <= 0 || h <= 0 || std::max(w, h) > maxSide) return std::nullopt;
    TightFrame frame;
    frame.border = std::max<std::int32_t>(2, (std::max(w, h) + 4) / 5);
    const std::int32_t paddedW = w + 2 * frame.border;
    const std::int32_t paddedH = h + 2 * frame.border;
    const std::int32_t longer = std::max(paddedW, paddedH);
    if (longer > maxSide) return std::nullopt;
    const std::int32_t shorter = std::min(paddedW, paddedH);
    frame.factor = std::clamp((minSide + shorter - 1) / shorter, 1, std::min(kMaxFactor, maxSide / longer));
    const std::int32_t k = frame.factor;
    frame.image.resize(paddedW * k, paddedH * k);
    frame.image.fill(lightLevel(image, deadline));
    enlargeInto(frame.image, frame.border * k, image, k, deadline);
    return frame;
}

}  // namespace AztecCore
