#include "json_line.h"

#include <cstdio>

namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

const char* kindName(talavex::Kind kind) {
    switch (kind) {
        case talavex::Kind::Compact: return "compact";
        case talavex::Kind::FullRange: return "full";
        case talavex::Kind::Rune: return "rune";
    }
    return "unknown";
}

const char* boolean(bool value) { return value ? "true" : "false"; }

}  // namespace

std::string jsonLine(const std::string& file, const talavex::Symbol& s) {
    std::string out = "{\"file\":" + quoted(file);
    out += ",\"status\":" + quoted(s.read ? "read" : "unreadable");
    out += ",\"bytes\":" + quoted(hex(s.bytes));
    out += ",\"text\":" + (s.text ? quoted(*s.text) : std::string("null"));
    out += ",\"identifier\":" + quoted(s.identifier);
    out += ",\"ecis\":[";
    for (std::size_t k = 0; k < s.ecis.size(); ++k) {
        if (k != 0) out += ",";
        out += "{\"eci\":" + std::to_string(s.ecis[k].designator) +
               ",\"offset\":" + std::to_string(s.ecis[k].byteOffset) + "}";
    }
    out += "],\"gs1\":";
    out += boolean(s.gs1);
    out += ",\"reader_init\":";
    out += boolean(s.readerInit);
    out += ",\"structured_append\":";
    if (s.structuredAppend) {
        out += "{\"position\":" + std::to_string(s.structuredAppend->position) +
               ",\"count\":" + std::to_string(s.structuredAppend->count) + ",\"id\":" + quoted(s.structuredAppend->id) +
               "}";
    } else {
        out += "null";
    }
    out += ",\"kind\":" + quoted(kindName(s.kind));
    out += ",\"layers\":" + std::to_string(s.layers);
    out += ",\"data_codewords\":" + std::to_string(s.dataCodewords);
    out += ",\"ecc_percent\":" + std::to_string(s.eccPercent);
    out += ",\"corrected\":" + std::to_string(s.codewordsCorrected);
    out += ",\"corners\":";
    if (s.corners) {
        out += "[";
        for (std::size_t k = 0; k < 4; ++k) {
            if (k != 0) out += ",";
            out += "[" + number((*s.corners)[k].x) + "," + number((*s.corners)[k].y) + "]";
        }
        out += "]";
    } else {
        out += "null";
    }
    out += ",\"orientation\":" + std::to_string(s.orientation);
    out += ",\"mirrored\":";
    out += boolean(s.mirrored);
    out += ",\"inverted\":";
    out += boolean(s.inverted);
    out += ",\"module_size\":" + number(s.moduleSize) + "}";
    return out;
}
