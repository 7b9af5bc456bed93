#include "api/report_text.h"

#include <cstdio>

namespace AztecCore {

std::string formatInt(std::int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return buffer;
}

std::string formatFloat(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

namespace {

const char* kindLetter(SymbolKind kind) {
    switch (kind) {
        case SymbolKind::Compact: return "C";
        case SymbolKind::Full: return "F";
        case SymbolKind::Rune: return "R";
        default: return "?";
    }
}

const char* orientationText(std::uint32_t orientation) {
    static const char* const names[] = {"0'", "90'", "180'", "270'"};
    return orientation < 4 ? names[orientation] : "?'";
}

}  // namespace

std::string describeCandidate(const SymbolCandidate& cand) {
    // The mode fields are unsigned but reported as signed 32-bit values; the
    // products are formed in 64 bits and narrowed the way a 32-bit int would wrap.
    const auto asInt = [](std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); };
    const std::int64_t total = asInt(cand.totalCodewords);
    const std::int64_t data = asInt(cand.dataCodewords);
    const std::int64_t divisor = total >= 1 ? total : 1;
    const std::int32_t dataBits = asInt(static_cast<std::int64_t>(cand.codewordBits) * cand.dataCodewords);
    const std::int32_t eccPercent = asInt((total - data) * 100 / divisor);

    std::string text = "(";
    text += kindLetter(cand.kind);
    text += " ";
    text += orientationText(cand.orientation);
    if (cand.mirrored != 0) text += "M";
    text += " L: " + formatInt(asInt(cand.layers));
    text += " D: " + formatInt(dataBits);
    text += " ECC: " + formatInt(eccPercent);
    text += "%)";
    return text;
}

}  // namespace AztecCore
