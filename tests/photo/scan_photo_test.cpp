#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <stdexcept>
#include <string>

#include "photo_scan.h"
#include "support/photo_scene.h"

namespace {

using AztecCore::Located;
using AztecCore::NotFound;
using AztecCore::Read;
using talavex_test::AztecSize;
using talavex_test::clutteredPhoto;
using talavex_test::EncodeOptions;
using talavex_test::RenderOptions;
using namespace photo_test;

constexpr int kPhotoW = 1280;
constexpr int kPhotoH = 960;
const char* const kLocatedStatus = "Aztec code detected. The image quality does not allow for reading the data. ";

struct PhotoCase {
    const char* name;
    std::string text;
    AztecSize size;
    double module;
    double angle;
    double blur;
    double cx, cy;  // symbol centre as a fraction of the photo
};

void PrintTo(const PhotoCase& c, std::ostream* os) { *os << c.name; }

GrayImage photoWithSymbol(const std::string& text, AztecSize size, const RenderOptions& render, double cx, double cy,
                          std::uint32_t backgroundSeed) {
    GrayImage photo = clutteredPhoto(kPhotoW, kPhotoH, backgroundSeed);
    EncodeOptions encode;
    encode.size = size;
    talavex_test::drawSymbol(photo, talavex_test::encodeAztec(text, encode), cx * kPhotoW, cy * kPhotoH, render);
    return photo;
}

// The enlargement factors as the status text prints them: 4 stepping down by
// 0.05 in single precision, the rounding accumulating, to just above 1.
const char* const kPrintedScales[] = {
    "4.000000", "3.950000", "3.900000", "3.850000", "3.800000", "3.750000", "3.700000", "3.650000", "3.600000",
    "3.550000", "3.500000", "3.450001", "3.400001", "3.350001", "3.300001", "3.250001", "3.200001", "3.150001",
    "3.100001", "3.050001", "3.000001", "2.950001", "2.900001", "2.850001", "2.800001", "2.750001", "2.700001",
    "2.650001", "2.600001", "2.550001", "2.500001", "2.450001", "2.400002", "2.350002", "2.300002", "2.250002",
    "2.200002", "2.150002", "2.100002", "2.050002", "2.000002", "1.950002", "1.900002", "1.850002", "1.800002",
    "1.750002", "1.700002", "1.650002", "1.600002", "1.550002", "1.500002", "1.450002", "1.400002", "1.350003",
    "1.300003", "1.250003", "1.200003", "1.150003", "1.100003", "1.050003", "1.000003",
};

class ScanPhotoReads : public ::testing::TestWithParam<PhotoCase> {};

TEST_P(ScanPhotoReads, SymbolAnywhereInClutteredPhoto) {
    const PhotoCase& c = GetParam();
    RenderOptions render;
    render.moduleSize = c.module;
    render.angleDegrees = c.angle;
    render.blurSigma = c.blur;
    render.noiseSigma = 3.0;
    const PhotoScan scan = scanPhoto(photoWithSymbol(c.text, c.size, render, c.cx, c.cy, 3));
    EXPECT_EQ(scan.result, Read);
    EXPECT_EQ(scan.text, c.text);
    EXPECT_EQ(scan.status, "Read Aztec code. - directly");
}

INSTANTIATE_TEST_SUITE_P(
    Photos, ScanPhotoReads,
    ::testing::Values(PhotoCase{"CompactTopRight", "Photo pass 0123456789", AztecSize::Compact, 4.0, 10.0, 0.8, 0.72,
                                0.3},
                      PhotoCase{"FullBottomLeft", "Full-range symbol in the lower left corner of a photo, 2024-05-17",
                                AztecSize::Full, 3.5, -25.0, 0.7, 0.2, 0.78}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScanPhoto, SmallModulesAreReadFromEnlargedCrops) {
    // At 1.6 pixels per module the symbol is too fine to read
    // in place; the enlarged crops around its bull's-eye read it.
    const std::string text = "Photo pass test 0123456789 ABCDEFGHIJ";
    int enlarged = 0;
    for (const std::uint32_t seed : {4u, 5u, 7u}) {
        RenderOptions render;
        render.moduleSize = 1.6;
        render.angleDegrees = 10.0;
        render.blurSigma = 0.4;
        render.noiseSigma = 3.0;
        render.seed = seed;
        const PhotoScan scan = scanPhoto(photoWithSymbol(text, AztecSize::Auto, render, 0.7, 0.3, seed));
        EXPECT_EQ(scan.result, Read) << seed;
        EXPECT_EQ(scan.text, text) << seed;
        const std::string indirectly = "Read Aztec code. - indirectly ";
        if (scan.status.rfind(indirectly, 0) != 0) {
            EXPECT_EQ(scan.status, "Read Aztec code. - directly") << seed;
            continue;
        }
        ++enlarged;
        const std::string factor = scan.status.substr(indirectly.size());
        EXPECT_NE(std::find(std::begin(kPrintedScales), std::end(kPrintedScales), factor), std::end(kPrintedScales))
            << factor;
    }
    EXPECT_GE(enlarged, 1);
}

TEST(ScanPhoto, ClutterWithoutSymbolIsNotFound) {
    const PhotoScan scan = scanPhoto(clutteredPhoto(kPhotoW, kPhotoH, 11));
    EXPECT_EQ(scan.result, NotFound);
    EXPECT_EQ(scan.text, "");
    bool examined = false;
    for (char n = '1'; n <= '5'; ++n)
        examined = examined || scan.status == std::string("Nie wykryto kodu Aztec. Examined ") + n +
                                                  " potential positions Aztec code.";
    EXPECT_TRUE(scan.status == "Not detected barcode area" || examined) << scan.status;
}

TEST(ScanPhoto, UniformPhotoHasNoPositions) {
    GrayImage photo = clutteredPhoto(200, 100, 1);
    std::fill(photo.pixels.begin(), photo.pixels.end(), 128);
    const PhotoScan scan = scanPhoto(photo);
    EXPECT_EQ(scan.result, NotFound);
    EXPECT_EQ(scan.status, "Not detected barcode area");
    EXPECT_EQ(scan.text, "");
}

TEST(ScanPhoto, FivePositionsWithoutBullseyeAreCounted) {
    // Dark squares: bright spots of the depth map, but no rings to locate.
    GrayImage photo = clutteredPhoto(640, 480, 1);
    std::fill(photo.pixels.begin(), photo.pixels.end(), 220);
    for (int i = 0; i < 5; ++i)
        for (int y = 100 + 60 * i; y < 120 + 60 * i; ++y)
            for (int x = 90 + 90 * i; x < 110 + 90 * i; ++x) photo.pixels[static_cast<std::size_t>(y) * 640 + x] = 30;
    const PhotoScan scan = scanPhoto(photo);
    EXPECT_EQ(scan.result, NotFound);
    EXPECT_EQ(scan.status, "Nie wykryto kodu Aztec. Examined 5 potential positions Aztec code.");
}

TEST(ScanPhoto, LocatedButUnreadableSymbol) {
    // A compact symbol whose data layers are scrambled beyond correction; the
    // finder and the mode message (within 5 modules of the centre) stay intact.
    // Plenty of check words: with few of them, one of the many enlarged
    // attempts may land on garbage that happens to correct "successfully".
    EncodeOptions encode;
    encode.size = AztecSize::Compact;
    encode.eccLevel = 4;
    talavex_test::AztecSymbol symbol = talavex_test::encodeAztec("Scrambled data layers", encode);
    const int centre = symbol.size / 2;
    for (int y = 0; y < symbol.size; ++y)
        for (int x = 0; x < symbol.size; ++x)
            if (std::max(std::abs(x - centre), std::abs(y - centre)) > 5 && (x * 7 + y * 3) % 3 == 0)
                symbol.modules[static_cast<std::size_t>(y) * symbol.size + x] ^= 1;
    GrayImage photo = clutteredPhoto(kPhotoW, kPhotoH, 5);
    RenderOptions render;
    render.moduleSize = 2.0;
    render.blurSigma = 0.5;
    talavex_test::drawSymbol(photo, symbol, 400, 600, render);

    const PhotoScan scan = scanPhoto(photo);
    EXPECT_EQ(scan.result, Located);
    EXPECT_EQ(scan.status, kLocatedStatus);
    EXPECT_EQ(scan.text, "");
}

class TooSmallForPhotoPass : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TooSmallForPhotoPass, RaisesOutOfRange) {
    const auto [w, h] = GetParam();
    GrayImage photo = clutteredPhoto(w, h, 2);
    EXPECT_THROW(scanPhoto(photo), std::out_of_range);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TooSmallForPhotoPass,
                         ::testing::Values(std::make_pair(63, 1000), std::make_pair(1000, 63)));

TEST(ScanPhoto, FullSizePhotoWithoutSymbolFinishesQuickly) {
    // A 12-megapixel photo full of clutter: the pass must stay bounded.
    const GrayImage photo = clutteredPhoto(4032, 3024, 21);
    const auto start = std::chrono::steady_clock::now();
    const PhotoScan scan = scanPhoto(photo);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(scan.result, NotFound);
    EXPECT_LT(seconds, 60.0);
}

}  // namespace
