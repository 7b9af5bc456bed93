#include "decode/symbol_data.h"

#include "decode/codeword_correction.h"
#include "decode/layer_bits.h"
#include "reedsolomon/exceptions.h"

namespace AztecCore {

namespace {

// The top bit of the mode message's data-count field (6 bits compact, 11 full-range).
std::uint32_t readerInitBit(SymbolKind kind) { return kind == SymbolKind::Compact ? 32u : 1024u; }

std::optional<DataBits> correctedData(const SymbolParameters& params, const ModuleBits& modules) {
    const BitVector layerBits = readLayerBits(params, modules);
    std::optional<DataBits> data;
    try {
        data = correctDataBits(layerBits, params);
    } catch (const Aztec::ReedSolomon::IllegalSymbolException&) {
        return std::nullopt;
    } catch (const Aztec::ReedSolomon::ReedSolomonException&) {
        return std::nullopt;
    }
    if (!data || data->bits.empty()) return std::nullopt;
    return data;
}

bool isCapital(std::uint8_t c) { return c >= 'A' && c <= 'Z'; }

// The header after M/L U/L: an optional ID between two spaces, then the
// position and the count as letters A..Z (1..26). Returns its length, 0 when
// the bytes do not form one.
std::size_t parseHeader(const std::vector<std::uint8_t>& bytes, StructuredAppend& header) {
    std::size_t at = 0;
    if (!bytes.empty() && bytes[0] == ' ') {
        std::size_t end = 1;
        while (end < bytes.size() && bytes[end] != ' ') ++end;
        if (end == bytes.size()) return 0;
        header.id.assign(bytes.begin() + 1, bytes.begin() + static_cast<std::ptrdiff_t>(end));
        at = end + 1;
    }
    if (at + 2 > bytes.size() || !isCapital(bytes[at]) || !isCapital(bytes[at + 1])) return 0;
    header.position = bytes[at] - 'A' + 1u;
    header.count = bytes[at + 1] - 'A' + 1u;
    if (header.position > header.count) return 0;
    return at + 2;
}

}  // namespace

namespace {

std::optional<SymbolData> decodeAs(const SymbolParameters& params, const ModuleBits& modules, bool readerInit) {
    SymbolParameters shape = params;
    if (readerInit) shape.dataCodewords -= readerInitBit(params.kind);
    const auto data = correctedData(shape, modules);
    if (!data) return std::nullopt;
    auto text = decodeTextWithFlags(data->bits, data->usedBits);
    if (!text) return std::nullopt;

    SymbolData result;
    result.text = std::move(*text);
    result.correctedCodewords = data->correctedWords;
    result.readerInit = readerInit;
    if (result.text.structuredAppendMark) {
        StructuredAppend header;
        result.headerLength = parseHeader(result.text.bytes, header);
        if (result.headerLength != 0) result.structuredAppend = std::move(header);
    }
    return result;
}

}  // namespace

std::optional<SymbolData> decodeSymbolDetails(const SymbolParameters& params, const ModuleBits& modules,
                                              bool readerInit) {
    if (readerInit && params.dataCodewords > readerInitBit(params.kind)) {
        if (auto data = decodeAs(params, modules, true)) return data;
    }
    return decodeAs(params, modules, false);
}

void removeStructuredAppendHeader(SymbolData& data) {
    const std::size_t length = data.headerLength;
    if (length == 0) return;
    auto& bytes = data.text.bytes;
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
    for (EciMark& eci : data.text.ecis) eci.offset = eci.offset > length ? eci.offset - length : 0;
    data.headerLength = 0;
}

}  // namespace AztecCore
