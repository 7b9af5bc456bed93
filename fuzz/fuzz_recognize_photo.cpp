// Any bytes as an image for recognizePhotoBGRA: never crashes, always a fresh
// C string, and "error" only for a side under 64 pixels.
#include "fuzz_input.h"
#include "talavex/talavex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzImage image = fuzzImage(data, size, 4, 60, 160);
    checkResult(recognizePhotoBGRA(image.pixels.empty() ? nullptr : image.pixels.data(), image.width, image.height),
                image.width >= 64 && image.height >= 64);
    return 0;
}
