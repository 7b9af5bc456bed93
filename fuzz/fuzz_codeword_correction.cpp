// Arbitrary symbol parameters and module bits through the data decoding as
// the recognizer runs it (the reading with the flags and headers, then the
// wrapped data count): it returns a result or none and raises nothing but the
// failures of the Reed-Solomon layer. Anything else, a bounds check's std::out_of_range
// above all, stops the run.
#include <cstdint>

#include "decode/layer_table.h"
#include "decode/symbol_data.h"
#include "decode/wrapped_data_count.h"
#include "reedsolomon/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    AztecCore::SymbolParameters params;
    const bool compact = data[0] & 1;
    params.kind = compact ? AztecCore::SymbolKind::Compact : AztecCore::SymbolKind::Full;
    params.layers = 1 + data[1] % (compact ? 4 : 32);
    params.orientation = data[2] % 4;
    params.mirrored = data[2] >> 7;
    const bool readerInit = ((data[2] >> 2) & 1) != 0;
    params.modeWordsCorrected = (data[2] >> 3) & 3;
    const std::uint32_t layerBits = AztecCore::layerBitCount(compact, params.layers);
    static const std::uint32_t widths[] = {6, 8, 10, 12};
    params.codewordBits = widths[data[3] % 4];
    params.totalCodewords = layerBits / params.codewordBits;
    params.spareBits = layerBits % params.codewordBits;
    // A Reed-Solomon word over GF(2^w) has at most 2^w - 1 codewords; the mode
    // message never pairs a width with more layers than that, and the decoder
    // relies on it.
    if (params.totalCodewords >= (1u << params.codewordBits)) return 0;
    params.dataCodewords = 1 + (data[4] | (data[5] << 8)) % (params.totalCodewords + 8);
    params.symbolSize = AztecCore::symbolSide(compact, params.layers);
    AztecCore::ModuleBits modules(params.symbolSize, AztecCore::BitVector(params.symbolSize));
    std::size_t bit = 0;
    for (auto& column : modules)
        for (std::size_t y = 0; y < column.size(); ++y, ++bit)
            column[y] = 6 + bit / 8 < size && ((data[6 + bit / 8] >> (bit % 8)) & 1);
    try {
        if (!AztecCore::decodeSymbolDetails(params, modules, readerInit))
            (void)AztecCore::decodeWrappedDataCount(params, modules);
    } catch (const Aztec::ReedSolomon::MessageException&) {
        // The parameters need not fit the field; the decoder says so this way.
    }
    return 0;
}
