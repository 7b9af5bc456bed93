#pragma once
// Compact symbols of four layers have room for 76 codewords, but the mode
// message's six-bit field counts 1 to 64 data codewords. Some encoders (zint
// 2.11 among them) still fill such a symbol with 65 data codewords and write
// the count modulo 64, so the mode message says 1. Read as it says, the
// symbol fails its check words; read with 64 more data codewords it passes.
#include <optional>

#include "decode/symbol_data.h"
#include "decode/symbol_parameters.h"

namespace AztecCore {

// The symbol read with its data count taken as wrapped round (64 more), when
// that count fits the symbol and leaves enough check words to trust the read;
// `shape.dataCodewords` then holds the count that read it.
std::optional<SymbolData> decodeWrappedDataCount(SymbolParameters& shape, const ModuleBits& modules);

}  // namespace AztecCore
