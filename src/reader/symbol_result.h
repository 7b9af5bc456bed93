#pragma once
// One entry of the reader's results: a read or located symbol with every
// field the C API hands out, computed once when the symbol is found.
#include <optional>
#include <string>
#include <vector>

#include "search/symbol_read.h"

namespace AztecCore::Reader {

struct SymbolResult {
    bool read = false;                // false: located, data unreadable
    std::vector<std::uint8_t> bytes;  // structured-append header removed
    std::optional<std::string> text;  // UTF-8
    std::string identifier;           // "]z0" .. "]zC"
    std::vector<EciMark> ecis;
    bool gs1 = false;
    bool readerInit = false;
    std::optional<StructuredAppend> structuredAppend;
    SymbolKind kind = SymbolKind::None;
    std::uint32_t layers = 0;
    std::uint32_t dataCodewords = 0;
    std::uint32_t eccPercent = 0;
    std::int32_t corrected = 0;
    bool hasGeometry = false;
    Aztec::Math::PointD corners[4] = {};
    double moduleSize = 0.0;
    std::uint32_t orientationDegrees = 0;
    bool mirrored = false;
    bool inverted = false;
};

// The symbology identifier's modifier: 0..2 for where FNC1 stands, plus 3
// with an ECI and 6 with a structured-append header.
std::string symbologyIdentifier(const SymbolData& data);

SymbolResult makeResult(SymbolRead read, bool wasRead, bool inverted);

}  // namespace AztecCore::Reader
