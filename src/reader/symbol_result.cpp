#include "reader/symbol_result.h"

#include "reader/text_encoding.h"

namespace AztecCore::Reader {

std::string symbologyIdentifier(const SymbolData& data) {
    std::uint32_t modifier = 0;
    if (data.text.fnc1 == Fnc1Position::First) modifier = 1;
    if (data.text.fnc1 == Fnc1Position::Second) modifier = 2;
    if (!data.text.ecis.empty()) modifier += 3;
    if (data.structuredAppend) modifier += 6;
    return std::string("]z") + "0123456789ABC"[modifier];
}

SymbolResult makeResult(SymbolRead read, bool wasRead, bool inverted) {
    SymbolResult result;
    result.read = wasRead;
    result.inverted = inverted;
    const SymbolParameters& shape = read.shape;
    result.kind = shape.kind;
    result.layers = shape.layers;
    result.dataCodewords = shape.dataCodewords;
    if (read.data.readerInit && result.dataCodewords > 0) {
        result.dataCodewords -= shape.kind == SymbolKind::Compact ? 32u : 1024u;
    }
    if (shape.totalCodewords > 0 && result.dataCodewords <= shape.totalCodewords) {
        result.eccPercent = (shape.totalCodewords - result.dataCodewords) * 100 / shape.totalCodewords;
    }
    // Mirrored symbols are turned the other way round: reported as the turn
    // that follows a left-right mirror.
    const std::uint32_t turn = shape.orientation & 3u;
    result.orientationDegrees = (shape.mirrored != 0 ? (4u - turn) & 3u : turn) * 90u;
    result.mirrored = shape.mirrored != 0;
    result.hasGeometry = read.hasGeometry;
    for (int k = 0; k < 4; ++k) result.corners[k] = read.corners[k];
    result.moduleSize = read.moduleSize;
    if (!wasRead) return result;

    result.identifier = shape.kind == SymbolKind::Rune ? "]zC" : symbologyIdentifier(read.data);
    removeStructuredAppendHeader(read.data);
    result.bytes = std::move(read.data.text.bytes);
    result.ecis = std::move(read.data.text.ecis);
    result.text = utf8Text(result.bytes, result.ecis);
    result.gs1 = read.data.text.fnc1 == Fnc1Position::First;
    result.readerInit = read.data.readerInit;
    result.structuredAppend = std::move(read.data.structuredAppend);
    result.corrected = read.data.correctedCodewords;
    return result;
}

}  // namespace AztecCore::Reader
