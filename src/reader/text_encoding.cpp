#include "reader/text_encoding.h"

namespace AztecCore::Reader {

namespace {

enum class Charset { Latin1, Latin9, Cp1252, Utf8, Ascii, Unknown };

Charset charsetOf(std::uint32_t eci) {
    switch (eci) {
        case 1:
        case 3: return Charset::Latin1;
        case 17: return Charset::Latin9;
        case 21: return Charset::Cp1252;
        case 26: return Charset::Utf8;
        case 27: return Charset::Ascii;
        default: return Charset::Unknown;
    }
}

// Windows-1252 at 0x80..0x9F; its five unassigned bytes keep their C1 code points.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The eight places where ISO-8859-15 differs from ISO-8859-1.
char32_t latin9(std::uint8_t b) {
    switch (b) {
        case 0xA4: return 0x20AC;
        case 0xA6: return 0x0160;
        case 0xA8: return 0x0161;
        case 0xB4: return 0x017D;
        case 0xB8: return 0x017E;
        case 0xBC: return 0x0152;
        case 0xBD: return 0x0153;
        case 0xBE: return 0x0178;
        default: return b;
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at `at`, 0 when it is not one.
std::size_t utf8SequenceLength(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t end) {
    const std::uint8_t lead = bytes[at];
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    char32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (end - at < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((bytes[at + k] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (bytes[at + k] & 0x3F);
    }
    static constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    const bool overlong = value < kSmallest[length];
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return overlong || surrogate || value > 0x10FFFF ? 0 : length;
}

bool appendStretch(std::string& out, const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to,
                   Charset charset) {
    for (std::size_t i = from; i < to;) {
        const std::uint8_t b = bytes[i];
        switch (charset) {
            case Charset::Utf8: {
                const std::size_t length = utf8SequenceLength(bytes, i, to);
                if (length == 0) return false;
                out.append(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                           bytes.begin() + static_cast<std::ptrdiff_t>(i + length));
                i += length;
                continue;
            }
            case Charset::Ascii:
                if (b >= 0x80) return false;
                appendUtf8(out, b);
                break;
            case Charset::Cp1252: appendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b); break;
            case Charset::Latin9: appendUtf8(out, latin9(b)); break;
            case Charset::Latin1: appendUtf8(out, b); break;
            case Charset::Unknown: return false;
        }
        ++i;
    }
    return true;
}

}  // namespace

std::optional<std::string> utf8Text(const std::vector<std::uint8_t>& bytes, const std::vector<EciMark>& ecis) {
    std::string out;
    Charset charset = Charset::Latin1;
    std::size_t from = 0;
    for (const EciMark& eci : ecis) {
        const std::size_t to = eci.offset < bytes.size() ? eci.offset : bytes.size();
        if (!appendStretch(out, bytes, from, to, charset)) return std::nullopt;
        from = to;
        charset = charsetOf(eci.designator);
    }
    if (!appendStretch(out, bytes, from, bytes.size(), charset)) return std::nullopt;
    return out;
}

}  // namespace AztecCore::Reader
