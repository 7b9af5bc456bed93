#pragma once
// The data layers of a symbol read into one bit stream, outermost layer first,
// each layer starting at the symbol's reading corner.
#include "decode/symbol_parameters.h"

namespace AztecCore {

// Undoes a mirror image, drops the reference-grid lines of full-range symbols
// and reads codewordBits * totalCodewords bits. The spiral holds spareBits
// more than that; those last bits land at the start of the result (the codeword
// reader skips them there). Throws std::out_of_range when the modules do not
// match the parameters.
BitVector readLayerBits(const SymbolParameters& params, const ModuleBits& modules);

// The module grid without the reference-grid lines: every column and row at a
// multiple of 16 modules from the centre is dropped.
ModuleBits removeReferenceGrid(const ModuleBits& modules);

}  // namespace AztecCore
