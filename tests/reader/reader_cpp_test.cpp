// The C++ wrapper: symbols copied out of the C handles, failures as the
// exceptions a C++ caller expects.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "reader/reader_support.h"
#include "support/aztec_encoder.h"
#include "talavex/reader.hpp"

namespace {

TEST(ReaderCpp, CopiesEveryFieldOfARead) {
    const std::string message("zero\0byte", 9);
    talavex_test::RenderOptions render;
    render.moduleSize = 3;
    const auto image = talavex_test::renderSymbol(talavex_test::encodeAztec(message), render);
    const auto symbols = talavex::read(reader_test::grayView(image));
    ASSERT_EQ(symbols.size(), 1u);
    const talavex::Symbol& s = symbols[0];
    EXPECT_TRUE(s.read);
    EXPECT_EQ(s.data(), message);
    EXPECT_EQ(s.identifier, "]z0");
    EXPECT_EQ(s.kind, talavex::Kind::Compact);
    ASSERT_TRUE(s.corners.has_value());
    EXPECT_LT((*s.corners)[0].x, (*s.corners)[1].x);
    EXPECT_NEAR(s.moduleSize, 3.0, 0.3);
}

TEST(ReaderCpp, ReadingNothingIsAnEmptyVector) {
    const auto blank = talavex_test::blankImage(100, 80);
    EXPECT_TRUE(talavex::read(reader_test::grayView(blank)).empty());
}

TEST(ReaderCpp, InvalidArgumentsThrowWithTheReason) {
    const talavex_image empty{nullptr, 0, 0, 0, TALAVEX_GRAY8};
    EXPECT_THROW(talavex::read(empty), std::invalid_argument);
    talavex::Options options;
    options.maxSymbols = 0;
    const auto blank = talavex_test::blankImage(8, 8);
    EXPECT_THROW(talavex::read(reader_test::grayView(blank), options), std::invalid_argument);
}

TEST(ReaderCpp, AnImageAboveThePixelLimitThrowsImageTooLarge) {
    const auto blank = talavex_test::blankImage(100, 80);
    talavex::Options options;
    options.maxPixels = 100 * 80 - 1;
    EXPECT_THROW(talavex::read(reader_test::grayView(blank), options), talavex::ImageTooLarge);
    options.maxPixels = 100 * 80;
    EXPECT_TRUE(talavex::read(reader_test::grayView(blank), options).empty());
}

}  // namespace
