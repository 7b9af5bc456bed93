// Any bytes as an image for recognizeBGRA: never crashes, always a fresh C
// string, never "error" (every size it is given is valid).
#include "fuzz_input.h"
#include "talavex/talavex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzImage image = fuzzImage(data, size, 4, 1, 200);
    checkResult(recognizeBGRA(image.pixels.empty() ? nullptr : image.pixels.data(), image.width, image.height), true);
    return 0;
}
