// The C entry points' contract at its edges: argument checks, empty and
// featureless images, and ownership of the returned buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "talavex/talavex.h"

namespace {

using Export = char* (*)(const std::uint8_t*, std::uint32_t, std::uint32_t);

std::string call(Export fn, const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) {
    std::unique_ptr<char, void (*)(void*)> out(fn(pixels, width, height), std::free);
    EXPECT_NE(out, nullptr);
    return out ? std::string(out.get()) : std::string("<null>");
}

struct ExportCase {
    const char* name;
    Export fn;
    int bytesPerPixel;
};

class ExportArgumentsTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportArgumentsTest, NullPixelsWithASizeIsAnError) {
    EXPECT_EQ(call(GetParam().fn, nullptr, 640, 480), "error");
}

TEST_P(ExportArgumentsTest, SizesBeyondSigned32BitsAreErrorsWithoutReadingMemory) {
    // A tiny buffer: any read beyond it would be caught by the sanitizers.
    const std::uint8_t pixel[4] = {0, 0, 0, 0};
    EXPECT_EQ(call(GetParam().fn, pixel, 0xFFFFFFFFu, 0xFFFFFFFFu), "error");
    EXPECT_EQ(call(GetParam().fn, pixel, 65536, 65536), "error");
    EXPECT_EQ(call(GetParam().fn, pixel, 0x80000000u, 1), "error");
    // Fits in 32 bits as a pixel count but not as a byte count of BGRA input.
    if (GetParam().bytesPerPixel == 4) {
        EXPECT_EQ(call(GetParam().fn, pixel, 40000, 20000), "error");
    }
}

TEST_P(ExportArgumentsTest, UniformImagesHoldNoSymbol) {
    for (std::uint8_t level : {0, 128, 255}) {
        const std::vector<std::uint8_t> pixels(320u * 240u * GetParam().bytesPerPixel, level);
        EXPECT_EQ(call(GetParam().fn, pixels.data(), 320, 240), "") << int(level);
    }
}

INSTANTIATE_TEST_SUITE_P(Exports, ExportArgumentsTest,
                         ::testing::Values(ExportCase{"Y", recognizeY, 1}, ExportCase{"BGRA", recognizeBGRA, 4},
                                           ExportCase{"PhotoBGRA", recognizePhotoBGRA, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrameExportsTest, EmptyFramesReturnEmptyText) {
    const std::uint8_t pixel[4] = {0, 0, 0, 0};
    EXPECT_EQ(call(recognizeY, nullptr, 0, 0), "");
    EXPECT_EQ(call(recognizeY, pixel, 0, 10), "");
    EXPECT_EQ(call(recognizeBGRA, nullptr, 10, 0), "");
}

TEST(FrameExportsTest, TinyImagesAreSearchedSafely) {
    const std::vector<std::uint8_t> pixels(7 * 5 * 4, 0);
    EXPECT_EQ(call(recognizeY, pixels.data(), 1, 1), "");
    EXPECT_EQ(call(recognizeY, pixels.data(), 7, 5), "");
    EXPECT_EQ(call(recognizeBGRA, pixels.data(), 7, 5), "");
}

TEST(PhotoExportTest, PhotosBelowTheMinimumSizeAreErrors) {
    const std::vector<std::uint8_t> pixels(1000u * 1000u * 4u, 255);
    EXPECT_EQ(call(recognizePhotoBGRA, pixels.data(), 63, 1000), "error");
    EXPECT_EQ(call(recognizePhotoBGRA, pixels.data(), 1000, 63), "error");
    EXPECT_EQ(call(recognizePhotoBGRA, nullptr, 0, 0), "error");
    EXPECT_EQ(call(recognizePhotoBGRA, pixels.data(), 64, 64), "");
}

}  // namespace
