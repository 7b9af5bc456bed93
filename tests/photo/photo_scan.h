#pragma once
// The photo pass run on a test photo (see support/photo_scene.h for the
// scenes), with its status text and result.
#include <cstdint>
#include <string>
#include <vector>

#include "api/recognizer.h"
#include "support/aztec_encoder.h"
#include "support/render.h"

namespace photo_test {

using talavex_test::GrayImage;

struct PhotoScan {
    AztecCore::ScanStatus result = AztecCore::NotFound;
    std::string status;
    std::string text;
};

inline PhotoScan scanPhoto(AztecCore::Recognizer& recognizer, const GrayImage& photo) {
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(photo, 7);
    PhotoScan scan;
    scan.result = recognizer.scanPhoto(bgra.data(), photo.width, photo.height, scan.status);
    scan.text = recognizer.resultText();
    return scan;
}

inline PhotoScan scanPhoto(const GrayImage& photo) {
    AztecCore::Recognizer recognizer;
    return scanPhoto(recognizer, photo);
}

}  // namespace photo_test
