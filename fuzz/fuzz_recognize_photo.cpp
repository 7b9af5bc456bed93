// Any bytes as an image for recognizePhotoBGRA: never crashes, always a fresh
// C string, and "error" only for a side under 64 pixels.
//
// It runs a few inputs a second, well under the other targets: the photo
// export has no time budget, and an image that still shows a symbol runs
// every enlargement factor at every candidate. Smaller images do not help
// (sides of 60 to 96 pixels ran 4 a second against 8 for 60 to 160), so the
// sides stay wide enough for the seeds' symbols.
#include "fuzz_input.h"
#include "talavex/talavex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzImage image = fuzzImage(data, size, 4, 60, 160);
    checkResult(recognizePhotoBGRA(image.pixels.empty() ? nullptr : image.pixels.data(), image.width, image.height),
                image.width >= 64 && image.height >= 64);
    return 0;
}
