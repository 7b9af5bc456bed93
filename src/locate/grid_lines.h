#pragma once
// Recognising a reference-grid line from samples taken along it. The lines
// of a full-range symbol's reference grid alternate dark and light module by
// module; data modules beside them do not.
#include <array>
#include <cstddef>
#include <cstdint>

namespace AztecCore {

// 81 samples at a fifth of a module apart: 16 modules along one line.
using LineSamples = std::array<std::int32_t, 81>;
// The scores of 19 parallel lines a fifth of a module apart.
using LineScores = std::array<std::int32_t, 19>;

// How many modules along the line break the alternation (0 for a perfect
// reference line), or -1 when the samples have too little contrast to tell.
// `count` samples from `samples`, a fifth of a module apart.
std::int32_t lineScore(const std::int32_t* samples, std::size_t count);
inline std::int32_t lineScore(const LineSamples& samples) { return lineScore(samples.data(), samples.size()); }

// The offset index of the predicted line itself.
inline constexpr std::int32_t kNoLineOffset = 9;

// Index (0..18) of the centre of the widest, best-scoring run of good lines;
// kNoLineOffset when nothing scored.
std::int32_t pickLineOffset(LineScores scores);

}  // namespace AztecCore
