#pragma once
// From sampled modules to message bytes: layer spiral, codeword correction,
// stuffed-bit removal and text decoding.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decode/symbol_parameters.h"
#include "decode/text_decoder.h"

namespace AztecCore {

// A structured-append header: this symbol's place in a sequence of `count`
// symbols (both 1..26) and the sequence's optional ID.
struct StructuredAppend {
    std::uint32_t position = 0;
    std::uint32_t count = 0;
    std::string id;
};

// Everything the data layers said: the text (header included, as the exports
// return it), the codewords corrected, and the header once parsed.
struct SymbolData {
    DecodedText text;
    std::int32_t correctedCodewords = 0;
    std::optional<StructuredAppend> structuredAppend;
    std::size_t headerLength = 0;  // bytes of the structured-append header at the start of text.bytes
    bool readerInit = false;
};

// The symbol's data with what the flags and headers said; no result when it
// cannot be read, other exceptions propagate. A reader-initialisation symbol
// sets the top bit of the mode message's data-count field. Where that bit is
// set and `readerInit` allows it, the symbol is first read as one (more check
// words than the plain reading, so the stronger claim), then as a plain
// symbol.
std::optional<SymbolData> decodeSymbolDetails(const SymbolParameters& params, const ModuleBits& modules,
                                              bool readerInit);

// Removes the structured-append header from the bytes and moves the ECI
// offsets with them; nothing happens without a header.
void removeStructuredAppendHeader(SymbolData& data);

}  // namespace AztecCore
