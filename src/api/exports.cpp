// The library's whole external surface: three C functions, each one complete
// recognition call. No exception may cross into the C caller, so every failure
// becomes the result "error" (or NULL if even the result cannot be allocated).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <string>

#include "api/recognizer.h"
#include "image/gray_buf.h"
#include "talavex/talavex.h"

namespace {

using AztecCore::Recognizer;
using AztecCore::ScanStatus;
using AztecCore::Image::GrayBuf;

enum class Input { Luminance, Bgra };
enum class Pass { Gray, Frame, Photo };

// The image code indexes with signed 32-bit arithmetic, so the whole buffer
// must be addressable that way.
bool sizeFits(std::uint32_t width, std::uint32_t height, std::uint64_t bytesPerPixel) {
    const std::uint64_t bytes = std::uint64_t{width} * height * bytesPerPixel;
    return bytes <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
}

char* copyOut(const std::string& text) {
    // Stops at the first zero byte, as a C string must.
    const std::size_t length = std::strlen(text.c_str());
    char* out = static_cast<char*>(std::malloc(length + 1));
    if (out == nullptr) return nullptr;
    std::memcpy(out, text.c_str(), length + 1);
    return out;
}

ScanStatus runPass(Recognizer& recognizer, Pass pass, const std::uint8_t* pixels, std::int32_t width,
                   std::int32_t height, std::string& status) {
    if (pass == Pass::Gray) {
        // Read in place: nothing in the pass writes to the caller's pixels.
        const GrayBuf image = GrayBuf::lend(pixels, width, height);
        return recognizer.scanGray(image, status);
    }
    return pass == Pass::Frame ? recognizer.scanFrame(pixels, width, height, status)
                               : recognizer.scanPhoto(pixels, width, height, status);
}

char* recognize(Pass pass, const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t bytesPerPixel = pass == Pass::Gray ? 1 : 4;
    if (!sizeFits(width, height, bytesPerPixel)) return copyOut("error");
    const bool empty = width == 0 || height == 0;
    if (!empty && pixels == nullptr) return copyOut("error");
    // An empty frame holds no symbol. A photo must be searched, and one
    // smaller than the photo search's minimum size is an error.
    if (empty && pass != Pass::Photo) return copyOut("");

    std::string result;
    try {
        Recognizer recognizer;
        std::string status;
        const ScanStatus found = runPass(recognizer, pass, pixels, static_cast<std::int32_t>(width),
                                         static_cast<std::int32_t>(height), status);
        if (found != AztecCore::NotFound) result = recognizer.resultText();
    } catch (...) {
        // std::exception is the library's whole exception family; anything
        // else must not reach a C caller either.
        result = "error";
    }
    return copyOut(result);
}

}  // namespace

extern "C" {

TALAVEX_API char* recognizeY(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    return recognize(Pass::Gray, pixels, width, height);
}

TALAVEX_API char* recognizeBGRA(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    return recognize(Pass::Frame, pixels, width, height);
}

TALAVEX_API char* recognizePhotoBGRA(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    return recognize(Pass::Photo, pixels, width, height);
}

}  // extern "C"
