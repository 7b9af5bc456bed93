#pragma once
// Turning the gray samples of the mode-message ring into bits.
#include <array>
#include <cstdint>
#include <vector>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// Thresholds tried in turn, as fractions of the way from the darkest to the
// lightest ring sample; the middle first, then ever further out.
inline constexpr std::array<float, 11> kRingFractions = {0.5f, 0.45f, 0.55f, 0.4f, 0.6f, 0.3f,
                                                         0.7f, 0.2f,  0.8f,  0.1f, 0.9f};

// bits[k] := samples[k] is darker than the threshold at `fraction` between the
// smallest and the largest sample. No samples leaves bits untouched.
void binarizeSamples(const std::vector<std::uint32_t>& samples, BitVector& bits, float fraction);

}  // namespace AztecCore
