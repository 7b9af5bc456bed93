// Regenerates the example images in examples/: real symbols encoded with
// libzint, rendered by the test support, each with its expected text beside it.
//
//   talavex_make_examples OUTPUT_DIR
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "support/aztec_encoder.h"
#include "support/render.h"

namespace {

using talavex_test::GrayImage;
using talavex_test::RenderOptions;

// Photos are stored as JPEG, as a camera would deliver them; frames as PNG.
bool writeExample(const std::string& dir, const std::string& name, const GrayImage& image, const std::string& text,
                  bool jpeg = false) {
    const std::string path = dir + "/" + name + (jpeg ? ".jpg" : ".png");
    const int written =
        jpeg ? stbi_write_jpg(path.c_str(), image.width, image.height, 1, image.pixels.data(), 88)
             : stbi_write_png(path.c_str(), image.width, image.height, 1, image.pixels.data(), image.width);
    if (!written) return false;
    std::FILE* f = std::fopen((dir + "/" + name + ".txt").c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

GrayImage render(const std::string& text, talavex_test::AztecSize size, const RenderOptions& options) {
    talavex_test::EncodeOptions encode;
    encode.size = size;
    return talavex_test::renderSymbol(talavex_test::encodeAztec(text, encode), options);
}

// A busy photo: gradient lighting, dark boxes and text-like marks, with the
// symbol small and away from the centre.
GrayImage clutteredPhoto(const std::string& text) {
    GrayImage photo;
    photo.width = 1600;
    photo.height = 1200;
    photo.pixels.resize(static_cast<std::size_t>(photo.width) * photo.height);
    for (int y = 0; y < photo.height; ++y)
        for (int x = 0; x < photo.width; ++x)
            photo.pixels[static_cast<std::size_t>(y) * photo.width + x] =
                static_cast<std::uint8_t>(150 + 70 * x / photo.width + 20 * y / photo.height);
    std::mt19937 rng(2026);
    auto box = [&](int x0, int y0, int w, int h, int level) {
        for (int y = y0; y < y0 + h && y < photo.height; ++y)
            for (int x = x0; x < x0 + w && x < photo.width; ++x)
                photo.pixels[static_cast<std::size_t>(y) * photo.width + x] = static_cast<std::uint8_t>(level);
    };
    for (int i = 0; i < 25; ++i) box(rng() % 1500, rng() % 1100, 20 + rng() % 120, 10 + rng() % 90, rng() % 90);
    for (int line = 0; line < 30; ++line)  // rows of letter-sized strokes
        for (int c = 0; c < 40; ++c)
            if (rng() % 3) box(60 + c * 14, 700 + line * 16, 2 + rng() % 8, 9, 30);
    talavex_test::EncodeOptions encode;
    RenderOptions options;
    options.moduleSize = 3.0;
    options.angleDegrees = 14.0;
    options.black = 35;
    options.white = 225;
    talavex_test::drawSymbol(photo, talavex_test::encodeAztec(text, encode), 1180, 330, options);
    talavex_test::gaussianBlur(photo, 0.8);
    talavex_test::addNoise(photo, 4.0, 99);
    return photo;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;

    RenderOptions plain;
    plain.moduleSize = 5.0;
    ok &= writeExample(dir, "compact-hello", render("Hello from talavex!", talavex_test::AztecSize::Compact, plain),
                       "Hello from talavex!");

    RenderOptions rotated;
    rotated.moduleSize = 4.0;
    rotated.angleDegrees = 30.0;
    rotated.width = 640;
    rotated.height = 480;
    const std::string url = "https://example.org/tickets?id=4711&seat=12B&date=2026-12-08";
    ok &= writeExample(dir, "full-rotated", render(url, talavex_test::AztecSize::Full, rotated), url);

    RenderOptions blurred;
    blurred.moduleSize = 4.5;
    blurred.angleDegrees = -8.0;
    blurred.blurSigma = 1.3;
    blurred.noiseSigma = 5.0;
    blurred.width = 640;
    blurred.height = 480;
    const std::string boarding = "M1DOE/JANE            E1A2B3C LHRJFKBA 0117 342Y012A0042 100";
    ok &= writeExample(dir, "blurred", render(boarding, talavex_test::AztecSize::Auto, blurred), boarding);

    RenderOptions tilted;
    tilted.moduleSize = 4.0;
    tilted.tiltX = 0.15;
    tilted.angleDegrees = 60.0;
    tilted.black = 90;
    tilted.white = 170;
    tilted.width = 800;
    tilted.height = 600;
    const std::string utf8 =
        "Gr\xc3\xbc\xc3\x9f"
        "e aus Z\xc3\xbcrich \xe2\x80\x94 \xe6\x9d\xb1\xe4\xba\xac";
    ok &= writeExample(dir, "perspective-low-contrast", render(utf8, talavex_test::AztecSize::Auto, tilted), utf8);

    const std::string parcel = "PARCEL 00340434161234567890 ROUTE 7";
    ok &= writeExample(dir, "photo-cluttered", clutteredPhoto(parcel), parcel, true);

    if (!ok) std::fprintf(stderr, "could not write the examples to %s\n", dir.c_str());
    return ok ? 0 : 1;
}
