#pragma once
// Human-readable summaries of a located symbol for the passes' status texts.
#include <string>

#include "locate/symbol_candidate.h"

namespace AztecCore {

// "(C 0' L: 2 D: 78 ECC: 67%)": kind, orientation (M when mirrored), layers,
// data bits and the share of check words.
std::string describeCandidate(const SymbolCandidate& cand);

// printf-style "%d" and "%f" renderings used by every status text.
std::string formatInt(std::int32_t value);
std::string formatFloat(double value);

}  // namespace AztecCore
