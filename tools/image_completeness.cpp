#include "image_completeness.h"

#include <cstdlib>

namespace {

constexpr std::uint64_t kLargestSide = std::uint64_t{1} << 24;

std::string cutShort(std::uint64_t have, std::uint64_t need) {
    return "the file is cut short: " + std::to_string(have) + " of " + std::to_string(need) + " pixel bytes";
}

bool isSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The next decimal number of a PNM header after whitespace and # comments.
bool pnmNumber(const std::uint8_t* file, std::size_t size, std::size_t& at, std::uint64_t& value) {
    for (;;) {
        while (at < size && isSpace(file[at])) ++at;
        if (at >= size || file[at] != '#') break;
        while (at < size && file[at] != '\n' && file[at] != '\r') ++at;
    }
    if (at >= size || file[at] < '0' || file[at] > '9') return false;
    value = 0;
    while (at < size && file[at] >= '0' && file[at] <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(file[at] - '0');
        // Beyond what stb_image decodes at all; it refuses such a file itself.
        if (value > kLargestSide) return false;
        ++at;
    }
    return true;
}

std::string pnmTruncation(const std::uint8_t* file, std::size_t size) {
    const std::uint64_t channels = file[1] == '5' ? 1 : 3;
    std::size_t at = 2;
    std::uint64_t width = 0, height = 0, maxValue = 0;
    if (!pnmNumber(file, size, at, width) || !pnmNumber(file, size, at, height) ||
        !pnmNumber(file, size, at, maxValue) || at >= size || !isSpace(file[at]))
        return "";
    // One whitespace byte ends the header; two bytes a sample above 255.
    const std::uint64_t need = width * height * channels * (maxValue > 255 ? 2 : 1);
    const std::uint64_t have = size - (at + 1);
    return have < need ? cutShort(have, need) : "";
}

std::uint32_t little(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int k = bytes - 1; k >= 0; --k) value = value << 8 | p[k];
    return value;
}

std::string bmpTruncation(const std::uint8_t* file, std::size_t size) {
    if (size < 26) return "";
    const std::uint64_t pixelsAt = little(file + 10, 4);
    const std::uint32_t headerSize = little(file + 14, 4);
    std::uint64_t width = 0, height = 0, bitsPerPixel = 0;
    if (headerSize == 12) {
        width = little(file + 18, 2);
        height = little(file + 20, 2);
        bitsPerPixel = little(file + 24, 2);
    } else if (headerSize >= 40 && size >= 34) {
        const auto signedWidth = static_cast<std::int32_t>(little(file + 18, 4));
        const auto signedHeight = static_cast<std::int32_t>(little(file + 22, 4));
        width = static_cast<std::uint64_t>(std::llabs(signedWidth));
        height = static_cast<std::uint64_t>(std::llabs(signedHeight));  // negative: rows top first
        bitsPerPixel = little(file + 28, 2);
        const std::uint32_t compression = little(file + 30, 4);
        // Run-length coded pixels have no fixed size; plain and bit-field ones do.
        if (compression != 0 && compression != 3 && compression != 6) return "";
    } else {
        return "";
    }
    if (width > kLargestSide || height > kLargestSide || bitsPerPixel > 64) return "";
    // Rows are padded to whole 32-bit words.
    const std::uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    const std::uint64_t need = rowBytes * height;
    const std::uint64_t have = size > pixelsAt ? size - pixelsAt : 0;
    return have < need ? cutShort(have, need) : "";
}

}  // namespace

std::string truncationOf(const std::uint8_t* file, std::size_t size) {
    if (size >= 3 && file[0] == 'P' && (file[1] == '5' || file[1] == '6')) return pnmTruncation(file, size);
    if (size >= 2 && file[0] == 'B' && file[1] == 'M') return bmpTruncation(file, size);
    return "";
}
