// Any bytes as an image for recognizePhotoBGRA: never crashes, always a fresh C string.
#include <cstdlib>

#include "fuzz_input.h"
#include "talavex/talavex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzImage image = fuzzImage(data, size, 4, 60, 160);
    char* text = recognizePhotoBGRA(image.pixels.empty() ? nullptr : image.pixels.data(), image.width, image.height);
    if (text == nullptr) std::abort();
    std::free(text);
    return 0;
}
