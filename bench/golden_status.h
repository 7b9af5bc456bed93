#pragma once
// The status text of an export's pass, as the golden file records it, made
// from the pass's diagnostics: a one-line account of what the pass found.
#include <cstdint>
#include <string>

#include "decode/symbol_parameters.h"
#include "search/pass_outcome.h"
#include "search/plan.h"

namespace talavex_bench {

// "(C 0' L: 2 D: 78 ECC: 67%)": kind, orientation (M when mirrored), layers,
// data bits and the share of check words.
std::string describeShape(const AztecCore::SymbolParameters& shape);

// printf-style "%d" and "%f" renderings used by every status text.
std::string formatInt(std::int32_t value);
std::string formatFloat(double value);

std::string statusText(AztecCore::Export which, const AztecCore::PassDiagnostics& diagnostics);

}  // namespace talavex_bench
