#include "locate/grid_lines.h"

#include <algorithm>

namespace AztecCore {

std::int32_t lineScore(const std::int32_t* samples, std::size_t count) {
    std::int32_t mn = 255;
    std::int32_t mx = 0;
    for (std::size_t k = 0; k < count; ++k) {
        mn = std::min(mn, samples[k]);
        mx = std::max(mx, samples[k]);
    }
    const std::int64_t mid = (std::int64_t{mx} + mn) / 2;
    if (mx - mid < 16 || mid - mn < 16) return -1;

    // Five phases, one per sample within a module; the best phase is the one
    // whose samples sit nearest the module centres. Along a reference line
    // the sample m modules after a phase's first one matches the first one's
    // darkness exactly when m is even, so once the darkness is flipped in odd
    // modules a phase's mismatches are its samples that differ from its first.
    std::int32_t differing[5] = {0, 0, 0, 0, 0};
    std::int32_t flippedFirst[5] = {0, 0, 0, 0, 0};
    for (std::size_t p = 0; p < 5 && p < count; ++p) flippedFirst[p] = samples[p] < mid ? 1 : 0;
    std::size_t base = 5;
    std::int32_t flip = 1;
    for (; base + 5 <= count; base += 5, flip ^= 1)
        for (std::size_t p = 0; p < 5; ++p)
            differing[p] += ((samples[base + p] < mid ? 1 : 0) ^ flip) ^ flippedFirst[p];
    for (std::size_t p = 0; base + p < count; ++p)
        differing[p] += ((samples[base + p] < mid ? 1 : 0) ^ flip) ^ flippedFirst[p];
    std::int32_t best = INT32_MAX;
    for (std::size_t p = 0; p < 5 && p < count; ++p) best = std::min(best, differing[p]);
    return best;
}

std::int32_t pickLineOffset(LineScores scores) {
    // Offsets too flat to judge (-1) take no part in the extremes.
    std::int32_t mn = INT32_MAX;
    std::int32_t mx = -1;
    for (const std::int32_t s : scores) {
        if (s < 0) continue;
        mn = std::min(mn, s);
        mx = std::max(mx, s);
    }
    if (mx < 0) return kNoLineOffset;
    const std::int32_t lim = mn + (mx - mn) / 5;
    for (std::int32_t& s : scores) s = (s < 0 || s > lim) ? -1 : mx - s;

    // A line one module wide is seen by about five neighbouring offsets, so
    // runs of five weigh most; the answer is the middle of the best run.
    // With no line to be seen (too little contrast everywhere) the prediction
    // is the best there is: the middle index leaves it where it was.
    float best = 0.0f;
    std::int32_t answer = kNoLineOffset;
    std::int32_t start = 0;
    std::int32_t n = 0;
    std::int32_t sum = 0;
    const auto closeRun = [&]() {
        if (n == 0) return;
        const float nf = static_cast<float>(n);
        const float weight = nf / 5.0f <= 1.0f ? nf / 5.0f : 5.0f / nf;
        const float value = static_cast<float>(sum) / nf * weight;
        if (value > best) {
            best = value;
            answer = start + n / 2;
        }
        n = 0;
        sum = 0;
    };
    for (std::int32_t k = 0; k < static_cast<std::int32_t>(scores.size()); ++k) {
        const std::int32_t s = scores[static_cast<std::size_t>(k)];
        if (s < 0) {
            closeRun();
            continue;
        }
        if (n == 0) start = k;
        ++n;
        sum += s;
    }
    closeRun();
    return answer;
}

}  // namespace AztecCore
