#pragma once
// Shared helpers of the end-to-end tests: real symbols from libzint, rendered
// and read back through the public C interface.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "decode/layer_table.h"
#include "support/aztec_encoder.h"
#include "support/render.h"
#include "talavex/talavex.h"

namespace talavex_e2e {

using talavex_test::AztecSize;
using talavex_test::AztecSymbol;
using talavex_test::EncodeOptions;
using talavex_test::GrayImage;
using talavex_test::RenderOptions;

inline std::string takeResult(char* raw) {
    std::unique_ptr<char, void (*)(void*)> owned(raw, std::free);
    return owned ? std::string(owned.get()) : std::string("<null>");
}

inline std::string readY(const GrayImage& image) {
    return takeResult(recognizeY(image.pixels.data(), static_cast<std::uint32_t>(image.width),
                                 static_cast<std::uint32_t>(image.height)));
}

inline std::string readBGRA(const std::vector<std::uint8_t>& bgra, int width, int height) {
    return takeResult(
        recognizeBGRA(bgra.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)));
}

inline std::string readPhoto(const std::vector<std::uint8_t>& bgra, int width, int height) {
    return takeResult(
        recognizePhotoBGRA(bgra.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)));
}

// Text over the whole printable range plus some control and high bytes, but no
// zero byte (the C interface ends its result at the first one).
inline std::string randomText(std::size_t length, std::uint32_t seed, bool binary = false) {
    std::mt19937 rng(seed);
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:;!?-+/*()[]{}<>=#$%&'\"@\\^_`|~\r\n";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        if (binary)
            text += static_cast<char>(1 + rng() % 255);
        else
            text += alphabet[rng() % (sizeof alphabet - 1)];
    }
    return text;
}

// Content that needs the given symbol shape: the longest text (up to about half
// the symbol's capacity) that zint still encodes at exactly that size.
inline std::string textForSize(AztecSize size, int layers, std::uint32_t seed) {
    const auto bitsPerCodeword = static_cast<int>(AztecCore::codewordWidth(static_cast<std::uint32_t>(layers)));
    const auto layerBits =
        static_cast<int>(AztecCore::layerBitCount(size == AztecSize::Compact, static_cast<std::uint32_t>(layers)));
    std::size_t length = static_cast<std::size_t>(layerBits / bitsPerCodeword * bitsPerCodeword / 8 / 2);
    for (; length > 1; length = length * 9 / 10) {
        const std::string text = randomText(length, seed);
        try {
            EncodeOptions options;
            options.size = size;
            options.layers = layers;
            talavex_test::encodeAztec(text, options);
            return text;
        } catch (const std::exception&) {
        }
    }
    return "A";
}

inline AztecSymbol encode(const std::string& text, AztecSize size = AztecSize::Auto, int layers = 0, int ecc = 0) {
    EncodeOptions options;
    options.size = size;
    options.layers = layers;
    options.eccLevel = ecc;
    return talavex_test::encodeAztec(text, options);
}

}  // namespace talavex_e2e
