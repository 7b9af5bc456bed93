#pragma once
// The photo export's pass run on a test photo (see support/photo_scene.h for
// the scenes), with its status text and result.
#include <cstdint>
#include <string>
#include <vector>

#include "api/export_search.h"
#include "golden_status.h"
#include "support/aztec_encoder.h"
#include "support/render.h"

namespace photo_test {

using talavex_test::GrayImage;

struct PhotoScan {
    AztecCore::ScanStatus result = AztecCore::NotFound;
    std::string status;
    std::string text;
};

inline PhotoScan scanPhoto(const GrayImage& photo) {
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(photo, 7);
    const AztecCore::ExportSearch search =
        AztecCore::searchForExport(AztecCore::Export::Photo, bgra.data(), photo.width, photo.height);
    PhotoScan scan;
    scan.result = search.diagnostics().status;
    scan.status = talavex_bench::statusText(AztecCore::Export::Photo, search.diagnostics());
    scan.text = search.text();
    return scan;
}

}  // namespace photo_test
