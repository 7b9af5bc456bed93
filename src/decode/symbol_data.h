#pragma once
// From sampled modules to message bytes: layer spiral, codeword correction,
// stuffed-bit removal and text decoding.
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// No result when the symbol cannot be read; other exceptions propagate.
std::optional<std::vector<std::uint8_t>> decodeSymbolData(const SymbolParameters& params, const ModuleBits* modules);

}  // namespace AztecCore
