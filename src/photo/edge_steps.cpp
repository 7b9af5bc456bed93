#include "photo/edge_steps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "photo/single_precision.h"

namespace AztecCore {

void extractEdgeSteps(const std::vector<std::int32_t>& differences, std::vector<EdgeStep>& edges) {
    edges.clear();
    const std::size_t length = differences.size();
    if (length == 0) return;

    std::int32_t sum = differences[0];
    // Within one run all differences share a sign, so |sum| <= 255 and
    // |weighted| <= 255 * length; 64 bits keep even absurd lengths exact.
    std::int64_t weighted = 0;
    auto emit = [&] {
        if (sum != 0) edges.push_back({roundToFloat(static_cast<float>(weighted) / static_cast<float>(sum)), sum});
    };
    // All ones while the open run falls, zero while it rises: a difference d
    // of the other sign is one with (d ^ falling) < falling.
    std::int32_t falling = differences[0] < 0 ? -1 : 0;
    const std::int32_t* d = differences.data();  // a local: the edges' growth cannot move it
    for (std::size_t i = 1; i < length; ++i) {
        // Zero differences extend whatever run is open; only a change of sign
        // closes it. A run that summed to zero closes without an edge.
        if ((d[i] ^ falling) < falling) {
            emit();
            falling = ~falling;
            sum = 0;
            weighted = 0;
        }
        weighted += static_cast<std::int64_t>(d[i]) * static_cast<std::int64_t>(i);
        sum += d[i];
    }
    emit();

    // The centroid names the pixel after the change; half a pixel back puts
    // the edge between the two pixels it separates.
    const float scale = roundToFloat(1.0f / static_cast<float>(length));
    for (EdgeStep& e : edges) e.position = roundToFloat(roundToFloat(e.position - 0.5f) * scale);
}

SamplePositions::SamplePositions(std::int32_t count) : t_(static_cast<std::size_t>(count < 0 ? 0 : count)) {
    const float n = static_cast<float>(count);
    for (std::size_t x = 0; x < t_.size(); ++x) t_[x] = roundToFloat(static_cast<float>(x) / n);
}

std::int32_t SamplePositions::firstReaching(float position, std::int32_t from) const {
    if (std::isnan(position)) return count();  // no t reaches it
    // t grows with x (correctly rounded quotients of growing numerators), so
    // the samples that reach a position form a suffix. Its start lies within
    // a sample or two of position * count; the walks from that guess find it
    // exactly, however far off the guess is, so the guess is formed in
    // single precision and truncated.
    const std::int32_t n = count();
    const float guess = position * static_cast<float>(n);
    std::int32_t x = !(guess > static_cast<float>(from)) ? from
                     : guess >= static_cast<float>(n)    ? n
                                                         : static_cast<std::int32_t>(guess);
    const float* t = t_.data();
    while (x > from && !(t[x - 1] < position)) --x;
    while (x < n && t[x] < position) ++x;
    return x;
}

namespace {

// samples[x .. at) set to value. Most steps are a few samples long; where
// sixteen samples from x lie within the profile, a short step is written as
// sixteen at once: the samples past `at` belong to later steps, which are
// drawn after this one and overwrite them.
inline void fillStep(std::uint8_t* samples, std::int32_t x, std::int32_t at, std::int32_t count, std::uint8_t value) {
    if (at - x <= 16 && count - x >= 16) {
        const std::uint64_t word = 0x0101010101010101u * value;
        std::memcpy(samples + x, &word, sizeof word);
        std::memcpy(samples + x + 8, &word, sizeof word);
        return;
    }
    std::fill(samples + x, samples + at, value);
}

}  // namespace

void renderEdgeSteps(const std::vector<EdgeStep>& edges, std::int32_t start, const SamplePositions& grid,
                     std::uint8_t* samples) {
    const std::int32_t count = grid.count();
    std::uint32_t v = static_cast<std::uint32_t>(start);  // unsigned: wraps like the low byte it feeds
    std::int32_t x = 0;
    for (const EdgeStep& e : edges) {
        const std::int32_t at = grid.firstReaching(e.position, x);
        fillStep(samples, x, at, count, static_cast<std::uint8_t>(v & 0xFFu));
        x = at;
        if (x == count) return;  // this edge and every later one fall past the end
        v += static_cast<std::uint32_t>(e.step);
    }
    std::fill(samples + x, samples + count, static_cast<std::uint8_t>(v & 0xFFu));
}

}  // namespace AztecCore
