#pragma once
// Splits a fuzzer input into an image size and its pixels. The size comes from
// the first two bytes and is capped so that one run stays fast; missing pixel
// bytes are zero.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

struct FuzzImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;
};

inline FuzzImage fuzzImage(const std::uint8_t* data, std::size_t size, std::uint32_t bytesPerPixel,
                           std::uint32_t minSide, std::uint32_t maxSide) {
    FuzzImage image;
    if (size < 2) return image;
    const std::uint32_t span = maxSide - minSide + 1;
    image.width = minSide + data[0] % span;
    image.height = minSide + data[1] % span;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height * bytesPerPixel, 0);
    std::copy_n(data + 2, std::min(size - 2, image.pixels.size()), image.pixels.begin());
    return image;
}

// Releases an export's result. A missing result always stops the run; so does
// "error" when the arguments were valid: every bounds check throws, and the
// exports turn what is thrown into "error", so that is how an indexing fault
// shows from outside.
inline void checkResult(char* text, bool argumentsValid) {
    if (text == nullptr) std::abort();
    if (argumentsValid && std::strcmp(text, "error") == 0) std::abort();
    std::free(text);
}
