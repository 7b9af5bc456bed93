#include "locate/grid_lines.h"

#include <algorithm>

namespace AztecCore {

std::int32_t lineScore(const std::int32_t* samples, std::size_t count) {
    std::int64_t mn = 255;
    std::int64_t mx = 0;
    for (std::size_t k = 0; k < count; ++k) {
        mn = std::min<std::int64_t>(mn, samples[k]);
        mx = std::max<std::int64_t>(mx, samples[k]);
    }
    const std::int64_t mid = (mx + mn) / 2;
    if (mx - mid < 16 || mid - mn < 16) return -1;
    const auto dark = [&](std::size_t k) { return samples[k] - mid < 0; };

    // Five phases, one per sample within a module; the best phase is the one
    // whose samples sit nearest the module centres.
    std::int32_t best = INT32_MAX;
    for (std::size_t p = 0; p < 5 && p < count; ++p) {
        bool expected = dark(p);
        std::int32_t mismatches = 0;
        for (std::size_t k = p + 5; k < count; k += 5) {
            expected = !expected;
            if (dark(k) != expected) ++mismatches;
        }
        best = std::min(best, mismatches);
    }
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
