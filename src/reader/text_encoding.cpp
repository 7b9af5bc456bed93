#include "reader/text_encoding.h"

#include "reader/iso8859_tables.h"

namespace AztecCore::Reader {

namespace {

enum class Family { Iso8859, Cp1252, Utf8, Ascii, Unknown };

struct Charset {
    Family family = Family::Unknown;
    std::uint32_t part = 0;  // ISO-8859 part
};

// ECI 1 and 3 name ISO-8859-1, 4..13 parts 2..11, 15..18 parts 13..16.
Charset charsetOf(std::uint32_t eci) {
    if (eci == 1 || eci == 3) return {Family::Iso8859, 1};
    if (eci >= 4 && eci <= 13) return {Family::Iso8859, eci - 2};
    if (eci >= 15 && eci <= 18) return {Family::Iso8859, eci - 2};
    switch (eci) {
        case 21: return {Family::Cp1252, 0};
        case 26: return {Family::Utf8, 0};
        case 27: return {Family::Ascii, 0};
        default: return {};
    }
}

// Windows-1252 at 0x80..0x9F; its five unassigned bytes keep their C1 code points.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

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
        switch (charset.family) {
            case Family::Utf8: {
                const std::size_t length = utf8SequenceLength(bytes, i, to);
                if (length == 0) return false;
                out.append(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                           bytes.begin() + static_cast<std::ptrdiff_t>(i + length));
                i += length;
                continue;
            }
            case Family::Ascii:
                if (b >= 0x80) return false;
                appendUtf8(out, b);
                break;
            case Family::Cp1252: appendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b); break;
            case Family::Iso8859: {
                const auto c = iso8859CodePoint(charset.part, b);
                if (!c) return false;
                appendUtf8(out, *c);
                break;
            }
            case Family::Unknown: return false;
        }
        ++i;
    }
    return true;
}

}  // namespace

std::optional<std::string> utf8Text(const std::vector<std::uint8_t>& bytes, const std::vector<EciMark>& ecis) {
    std::string out;
    Charset charset{Family::Iso8859, 1};
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
