// The library's whole external surface: three C functions, each one complete
// recognition call. No exception may cross into the C caller, so every failure
// becomes the result "error" (or NULL if even the result cannot be allocated).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "api/export_search.h"
#include "talavex/talavex.h"

namespace {

using AztecCore::Export;

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

char* recognize(Export which, const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    const std::uint64_t bytesPerPixel = which == Export::Y ? 1 : 4;
    if (!sizeFits(width, height, bytesPerPixel)) return copyOut("error");
    const bool empty = width == 0 || height == 0;
    if (!empty && pixels == nullptr) return copyOut("error");
    // An empty frame holds no symbol. A photo must be searched, and one
    // smaller than the photo search's minimum size is an error.
    if (empty && which != Export::Photo) return copyOut("");

    std::string result;
    try {
        const AztecCore::ExportSearch search = AztecCore::searchForExport(
            which, pixels, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
        result = search.text();
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
    return recognize(Export::Y, pixels, width, height);
}

TALAVEX_API char* recognizeBGRA(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    return recognize(Export::BGRA, pixels, width, height);
}

TALAVEX_API char* recognizePhotoBGRA(const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    return recognize(Export::Photo, pixels, width, height);
}

}  // extern "C"
