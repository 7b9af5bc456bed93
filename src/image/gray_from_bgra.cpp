// BGRA straight to gray, without colour planes in between: a 12 MP
// photo would otherwise hold 36 MB of planes only to read each byte once.
#include <cstring>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// Four pixels' weighted sums divided by kWeightSum. Each sum is at most
// 2,550,000, exact in a float. The float nearest 1/kWeightSum lies above it,
// so a multiple of kWeightSum times it rounds to no less than the quotient,
// while a sum one below a multiple stays 10^-4 short of the next quotient,
// far more than its rounding error at quotients up to 255: truncation gives
// exactly the integer quotient.
__m128i lumaOfFour(__m128i bgra) {
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    // Blue and red in the two 16-bit halves of each lane, weighted and added by one multiply-add.
    const __m128i blueRed = _mm_and_si128(bgra, _mm_set1_epi32(0x00FF00FF));
    const __m128i green = _mm_and_si128(_mm_srli_epi32(bgra, 8), lowByte);
    const __m128i sum =
        _mm_add_epi32(_mm_madd_epi16(blueRed, _mm_set1_epi32(static_cast<int>(kRedWeight << 16 | kBlueWeight))),
                      _mm_madd_epi16(green, _mm_set1_epi32(static_cast<int>(kGreenWeight))));
    return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(sum), _mm_set1_ps(1.0f / kWeightSum)));
}

void convertBlock(const std::uint8_t* in, std::uint8_t* out) {
    const auto* words = reinterpret_cast<const __m128i*>(in);
    const __m128i low = _mm_packs_epi32(lumaOfFour(_mm_loadu_si128(words)), lumaOfFour(_mm_loadu_si128(words + 1)));
    const __m128i high =
        _mm_packs_epi32(lumaOfFour(_mm_loadu_si128(words + 2)), lumaOfFour(_mm_loadu_si128(words + 3)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
}
#else
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
#endif

}  // namespace

void GrayBuf::setFromBGRA(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                          const Deadline& deadline) {
    const std::int64_t count = pixelCount(width, height);
    // A negative area cannot be allocated; refuse it like any oversized one.
    if (count < 0) throw std::length_error("vector<T> too long");
    resizeForOverwrite(width, height);
    if (count == 0) return;
    for (std::int32_t y = 0; y < height; ++y) {
        deadline.spend(width);
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
