#include "locate/ring_threshold.h"

#include <algorithm>

namespace AztecCore {

void binarizeSamples(const std::vector<std::uint32_t>& samples, BitVector& bits, float fraction) {
    if (samples.empty()) return;
    const auto [mnIt, mxIt] = std::minmax_element(samples.begin(), samples.end());
    const double f = fraction;
    const double t = (1.0 - f) * static_cast<double>(*mnIt) + f * static_cast<double>(*mxIt);
    const auto threshold = static_cast<std::int64_t>(t);
    bits.assign(samples.size(), false);
    for (std::size_t k = 0; k < samples.size(); ++k) bits[k] = static_cast<std::int64_t>(samples[k]) < threshold;
}

}  // namespace AztecCore
