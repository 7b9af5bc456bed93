#include "decode/symbol_data.h"

#include "decode/codeword_correction.h"
#include "decode/layer_bits.h"
#include "decode/text_decoder.h"
#include "reedsolomon/exceptions.h"

namespace AztecCore {

std::optional<std::vector<std::uint8_t>> decodeSymbolData(const SymbolParameters& params, const ModuleBits* modules) {
    if (modules == nullptr) return std::nullopt;
    const BitVector layerBits = readLayerBits(params, *modules);
    std::optional<DataBits> data;
    try {
        data = correctDataBits(layerBits, params);
    } catch (const Aztec::ReedSolomon::IllegalSymbolException&) {
        return std::nullopt;
    } catch (const Aztec::ReedSolomon::ReedSolomonException&) {
        return std::nullopt;
    }
    if (!data || data->bits.empty()) return std::nullopt;
    return decodeText(data->bits, data->usedBits);
}

}  // namespace AztecCore
