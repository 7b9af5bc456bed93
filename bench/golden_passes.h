#pragma once
// Runs one image through the three exports and through the internal passes
// behind them, and writes what each returned as golden lines.
#include <cstdint>
#include <string>
#include <vector>

#include "support/render.h"

namespace talavex_bench {

// One line per export, in the order recognizeY, recognizeBGRA,
// recognizePhotoBGRA:
//   KEY WxH EXPORT OUTCOME status="..." result="..."
// OUTCOME is the pass's not-found, located, read, or threw (the status is
// then the exception's message); result holds the export's returned bytes.
// Both texts are escaped: printable ASCII as is, \\ and \" for backslash and
// quote, \xHH for every other byte.
// A pass whose outcome disagrees with the export's bytes is listed in
// `mismatches`.
std::vector<std::string> goldenLines(const std::string& key, const talavex_test::GrayImage& image,
                                     std::uint32_t alphaSeed, std::vector<std::string>& mismatches);

}  // namespace talavex_bench
