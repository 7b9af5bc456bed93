#include "golden_status.h"

#include <cstdio>

namespace talavex_bench {

using AztecCore::SymbolKind;

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

const char* const kQualityTooLow = "Aztec code detected. The image quality does not allow for reading the data. ";

std::string centreStatus(const AztecCore::PassDiagnostics& d) {
    switch (d.status) {
        case AztecCore::Read: return "Read data " + describeShape(d.shape) + "\n" + " #err=" + formatInt(d.corrected);
        case AztecCore::Located: return "Detected barcode area " + describeShape(d.shape);
        case AztecCore::NotFound: break;
    }
    if (d.shape.kind != SymbolKind::None) return kQualityTooLow + describeShape(d.shape);
    return "Code has been detected, but this is not Aztec";
}

std::string photoStatus(const AztecCore::PassDiagnostics& d) {
    if (d.positions == 0) return "Not detected barcode area";
    switch (d.status) {
        case AztecCore::Read:
            return std::string("Read Aztec code.") +
                   (d.enlargement > 0.0f ? " - indirectly " + formatFloat(d.enlargement) : " - directly");
        case AztecCore::Located: return kQualityTooLow;
        case AztecCore::NotFound: break;
    }
    return "Nie wykryto kodu Aztec. Examined " + formatInt(d.positions) + " potential positions Aztec code.";
}

}  // namespace

std::string describeShape(const AztecCore::SymbolParameters& shape) {
    // The mode fields are unsigned but reported as signed 32-bit values; the
    // products are formed in 64 bits and narrowed the way a 32-bit int would wrap.
    const auto asInt = [](std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); };
    const std::int64_t total = asInt(shape.totalCodewords);
    const std::int64_t data = asInt(shape.dataCodewords);
    const std::int64_t divisor = total >= 1 ? total : 1;
    const std::int32_t dataBits = asInt(static_cast<std::int64_t>(shape.codewordBits) * shape.dataCodewords);
    const std::int32_t eccPercent = asInt((total - data) * 100 / divisor);

    std::string text = "(";
    text += kindLetter(shape.kind);
    text += " ";
    text += orientationText(shape.orientation);
    if (shape.mirrored != 0) text += "M";
    text += " L: " + formatInt(asInt(shape.layers));
    text += " D: " + formatInt(dataBits);
    text += " ECC: " + formatInt(eccPercent);
    text += "%)";
    return text;
}

std::string statusText(AztecCore::Export which, const AztecCore::PassDiagnostics& diagnostics) {
    return which == AztecCore::Export::Photo ? photoStatus(diagnostics) : centreStatus(diagnostics);
}

}  // namespace talavex_bench
