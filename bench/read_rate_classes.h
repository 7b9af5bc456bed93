#pragma once
// The distortion classes of the read-rate report: seeded frames (a symbol near
// the centre) and photos (a symbol, or none, anywhere in a cluttered scene).
// Shared by the read-rate report and the golden check, so both measure the
// same images.
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/aztec_encoder.h"
#include "support/photo_scene.h"
#include "support/render.h"

namespace talavex_bench {

struct Sample {
    talavex_test::GrayImage image;
    std::string text;
    bool photo = false;
    bool hasSymbol = true;
    std::vector<std::uint8_t> bgra;  // photos: converted before the clock starts
};

using Tweak = std::function<void(talavex_test::RenderOptions&, std::mt19937&)>;

struct FrameClass {
    const char* name;
    Tweak tweak;
};

const std::vector<FrameClass>& frameClasses();

// A 640 x 480 frame unless the class says otherwise; draws everything from `rng`.
Sample makeFrame(const FrameClass& cls, std::mt19937& rng);

// Photos: one symbol (or none) somewhere in a cluttered 1280 x 960 photo
// unless the class says otherwise; see tests/support/photo_scene.h.
struct PhotoPlan {
    talavex_test::PhotoScene scene;
    talavex_test::EncodeOptions encode;
    bool symbol = true;
    double nearCorner = 0.0;  // > 0: centre within this fraction of the width and of the height from a corner
};

using PhotoTweak = std::function<void(PhotoPlan&, std::mt19937&)>;

struct PhotoClass {
    const char* name;
    PhotoTweak tweak;
};

const std::vector<PhotoClass>& photoClasses();

// Draws everything from `rng`; the sample's `bgra` is filled.
Sample makePhoto(const PhotoClass& cls, std::mt19937& rng);

// Text for a forced symbol kind and layer count: `text` repeated or cut to
// half of what zint fits into those layers, so that, as with zint's default
// error correction, about half of the codewords are check words. With the
// kind left to zint the text is returned as it is.
std::string fitText(std::string text, const talavex_test::EncodeOptions& encode);

}  // namespace talavex_bench
