// BGRA straight to gray, without the three colour planes in between: a 12 MP
// photo would otherwise hold 36 MB of planes only to read each byte once.
#include <cstring>
#include <stdexcept>

#include "image/gray_buf.h"
#include "image/image_size.h"
#include "image/luma.h"

namespace AztecCore::Image {

namespace {

#if (defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) || defined(_MSC_VER)
constexpr bool kLittleEndian = true;
#else
constexpr bool kLittleEndian = false;
#endif

constexpr std::int32_t kBlock = 16;

// kBlock pixels read as whole words (blue in the low byte): a fixed count of
// independent lanes that the compiler turns into vector code.
void convertBlock(const std::uint8_t* __restrict in, std::uint8_t* __restrict out) {
    std::uint32_t words[kBlock];
    std::memcpy(words, in, sizeof words);
    for (std::int32_t i = 0; i < kBlock; ++i) {
        const std::uint32_t p = words[i];
        out[i] = luma((p >> 16) & 0xFFu, (p >> 8) & 0xFFu, p & 0xFFu);
    }
}

}  // namespace

void GrayBuf::setFromBGRA(const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    const std::int64_t count = pixelCount(width, height);
    // A negative area cannot be allocated; refuse it like any oversized one.
    if (count < 0) throw std::length_error("vector<T> too long");
    resize(width, height);
    if (count == 0) return;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* out = row(y);
        const std::uint8_t* in = pixels + 4 * std::int64_t{width} * y;
        std::int32_t x = 0;
        if (kLittleEndian)
            for (; x + kBlock <= width; x += kBlock) convertBlock(in + std::int64_t{4} * x, out + x);
        for (; x < width; ++x) {
            const std::uint8_t* p = in + std::int64_t{4} * x;
            out[x] = luma(p[2], p[1], p[0]);
        }
    }
}

}  // namespace AztecCore::Image
