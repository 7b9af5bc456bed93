// The C API's contract: every failure is a status with a message, accessors
// survive NULL handles and bad indices, every pixel format and stride reads
// the same symbol, and the pixel limit refuses an image before reading it.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "reader/reader_support.h"
#include "support/aztec_encoder.h"

namespace {

using namespace reader_test;

const std::string kMessage = "CONTRACT 0123";

talavex_test::GrayImage symbolImage() {
    talavex_test::RenderOptions render;
    render.moduleSize = 3;
    return talavex_test::renderSymbol(talavex_test::encodeAztec(kMessage), render);
}

// The gray image laid out in `format` with `padding` bytes after each row.
std::vector<uint8_t> layout(const talavex_test::GrayImage& gray, talavex_format format, uint32_t padding) {
    const uint32_t size = format == TALAVEX_GRAY8 ? 1 : (format == TALAVEX_BGR || format == TALAVEX_RGB ? 3 : 4);
    const uint32_t stride = static_cast<uint32_t>(gray.width) * size + padding;
    std::vector<uint8_t> pixels(static_cast<std::size_t>(stride) * gray.height, 0x5A);
    for (int y = 0; y < gray.height; ++y) {
        for (int x = 0; x < gray.width; ++x) {
            uint8_t* p = &pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * size];
            for (uint32_t k = 0; k < size; ++k) p[k] = gray.at(x, y);
            if (size == 4) p[3] = static_cast<uint8_t>(x * 7 + y);  // alpha is ignored
        }
    }
    return pixels;
}

struct LayoutCase {
    const char* name;
    talavex_format format;
    uint32_t padding;
};
// gtest names the case instead of dumping its bytes (padding included).
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class ReaderLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ReaderLayouts, ReadTheSameSymbolInEveryFormatAndStride) {
    const auto gray = symbolImage();
    const LayoutCase& c = GetParam();
    const auto pixels = layout(gray, c.format, c.padding);
    const uint32_t size = static_cast<uint32_t>(pixels.size() / static_cast<std::size_t>(gray.height));
    const talavex_image view{pixels.data(), static_cast<uint32_t>(gray.width), static_cast<uint32_t>(gray.height), size,
                             c.format};
    const Results results = read(view);
    ASSERT_EQ(talavex_results_status(results.get()), TALAVEX_OK);
    ASSERT_EQ(talavex_results_count(results.get()), 1u);
    size_t length = 0;
    const uint8_t* bytes = talavex_symbol_bytes(results.get(), 0, &length);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length), kMessage);
}

INSTANTIATE_TEST_SUITE_P(Formats, ReaderLayouts,
                         ::testing::Values(LayoutCase{"Gray", TALAVEX_GRAY8, 0},
                                           LayoutCase{"GrayPadded", TALAVEX_GRAY8, 13},
                                           LayoutCase{"Bgra", TALAVEX_BGRA, 0},
                                           LayoutCase{"RgbaPadded", TALAVEX_RGBA, 8}, LayoutCase{"Bgr", TALAVEX_BGR, 1},
                                           LayoutCase{"Rgb", TALAVEX_RGB, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct InvalidCase {
    const char* name;
    bool nullPixels;
    uint32_t width, height, stride;
    int format;
    const char* message;
};
void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }

class ReaderInvalidViews : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(ReaderInvalidViews, AreReportedAsInvalidArgumentsWithAReason) {
    const InvalidCase& c = GetParam();
    static const uint8_t pixels[64] = {};
    const talavex_image view{c.nullPixels ? nullptr : pixels, c.width, c.height, c.stride,
                             static_cast<talavex_format>(c.format)};
    const Results results = read(view);
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(talavex_results_status(results.get()), TALAVEX_INVALID_ARGUMENT);
    EXPECT_STREQ(talavex_results_message(results.get()), c.message);
    EXPECT_EQ(talavex_results_count(results.get()), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Views, ReaderInvalidViews,
    ::testing::Values(InvalidCase{"NullPixels", true, 4, 4, 4, TALAVEX_GRAY8, "the pixels are NULL"},
                      InvalidCase{"ZeroWidth", false, 0, 4, 4, TALAVEX_GRAY8, "the image is empty"},
                      InvalidCase{"ZeroHeight", false, 4, 0, 4, TALAVEX_GRAY8, "the image is empty"},
                      InvalidCase{"StrideShorterThanARow", false, 4, 4, 15, TALAVEX_RGBA,
                                  "the stride is smaller than a row"},
                      InvalidCase{"UnknownFormat", false, 4, 4, 16, 9, "unknown pixel format"},
                      InvalidCase{"TooLarge", false, 65536, 65536, 65536, TALAVEX_GRAY8, "the image is too large"}),
    [](const auto& info) { return std::string(info.param.name); });

const char kOverTheLimit[] = "the image has more pixels than the limit allows";

// The limit set against the symbol image's own pixel count: none, or the
// count plus overPixels.
struct SymbolLimitCase {
    const char* name;
    bool noLimit;
    int64_t overPixels;
    talavex_status status;
};
void PrintTo(const SymbolLimitCase& c, std::ostream* os) { *os << c.name; }

class ReaderPixelLimit : public ::testing::TestWithParam<SymbolLimitCase> {};

TEST_P(ReaderPixelLimit, ReadsUpToTheLimitAndRefusesBeyondIt) {
    const auto gray = symbolImage();
    const SymbolLimitCase& c = GetParam();
    const int64_t pixels = int64_t{gray.width} * gray.height;
    const Options options(talavex_options_new());
    ASSERT_EQ(talavex_options_set_max_pixels(options.get(), c.noLimit ? 0 : uint64_t(pixels + c.overPixels)), 0);
    const Results results = read(grayView(gray), options.get());
    ASSERT_EQ(talavex_results_status(results.get()), c.status);
    if (c.status == TALAVEX_OK) {
        ASSERT_EQ(talavex_results_count(results.get()), 1u);
        size_t length = 0;
        const uint8_t* bytes = talavex_symbol_bytes(results.get(), 0, &length);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), length), kMessage);
    } else {
        EXPECT_STREQ(talavex_results_message(results.get()), kOverTheLimit);
        EXPECT_EQ(talavex_results_count(results.get()), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, ReaderPixelLimit,
                         ::testing::Values(SymbolLimitCase{"AtTheLimit", false, 0, TALAVEX_OK},
                                           SymbolLimitCase{"OnePixelOver", false, -1, TALAVEX_IMAGE_TOO_LARGE},
                                           SymbolLimitCase{"NoLimit", true, 0, TALAVEX_OK}),
                         [](const auto& info) { return std::string(info.param.name); });

// Views over 64 bytes that claim millions of pixels: a reader that read or
// converted them before checking the limit would crash.
struct UnreadViewCase {
    const char* name;
    uint32_t width, height;
    std::optional<uint64_t> limit;  // none: the defaults, of NULL options and of a new handle
    talavex_status status;
    const char* message;
};
void PrintTo(const UnreadViewCase& c, std::ostream* os) { *os << c.name; }

class ReaderPixelLimitUnread : public ::testing::TestWithParam<UnreadViewCase> {};

TEST_P(ReaderPixelLimitUnread, RefusesBeforeTouchingThePixels) {
    const UnreadViewCase& c = GetParam();
    static const uint8_t pixels[64] = {};
    const talavex_image view{pixels, c.width, c.height, c.width, TALAVEX_GRAY8};
    const Options options(talavex_options_new());
    ASSERT_NE(options, nullptr);
    std::vector<const talavex_options*> given{options.get()};
    if (c.limit)
        ASSERT_EQ(talavex_options_set_max_pixels(options.get(), *c.limit), 0);
    else
        given.push_back(nullptr);
    for (const talavex_options* handle : given) {
        const Results results = read(view, handle);
        EXPECT_EQ(talavex_results_status(results.get()), c.status);
        EXPECT_STREQ(talavex_results_message(results.get()), c.message);
        EXPECT_EQ(talavex_results_count(results.get()), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Views, ReaderPixelLimitUnread,
                         ::testing::Values(UnreadViewCase{"DefaultRefuses8193x8192", 8193, 8192, std::nullopt,
                                                          TALAVEX_IMAGE_TOO_LARGE, kOverTheLimit},
                                           UnreadViewCase{"DefaultRefusesOneRowOfOnePixelOver", 8192 * 8192 + 1, 1,
                                                          std::nullopt, TALAVEX_IMAGE_TOO_LARGE, kOverTheLimit},
                                           UnreadViewCase{"NoLimitKeepsTheReadersOwnBound", 65536, 65536, 0,
                                                          TALAVEX_INVALID_ARGUMENT, "the image is too large"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderContract, NullImageIsAnInvalidArgument) {
    const Results results(talavex_read(nullptr, nullptr));
    EXPECT_EQ(talavex_results_status(results.get()), TALAVEX_INVALID_ARGUMENT);
    EXPECT_STREQ(talavex_results_message(results.get()), "the image is NULL");
}

TEST(ReaderContract, AccessorsAnswerNullHandlesAndBadIndicesWithoutData) {
    const auto gray = symbolImage();
    const Results results = read(grayView(gray));
    ASSERT_EQ(talavex_results_count(results.get()), 1u);
    for (const talavex_results* handle :
         {static_cast<const talavex_results*>(nullptr), static_cast<const talavex_results*>(results.get())}) {
        const size_t index = handle == nullptr ? 0 : 1;  // NULL, or one past the last symbol
        size_t length = 7;
        EXPECT_EQ(talavex_symbol_bytes(handle, index, &length), nullptr);
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(talavex_symbol_text(handle, index), nullptr);
        EXPECT_EQ(talavex_symbol_identifier(handle, index), nullptr);
        EXPECT_EQ(talavex_symbol_status_of(handle, index), -1);
        EXPECT_EQ(talavex_symbol_kind(handle, index), -1);
        EXPECT_EQ(talavex_symbol_layers(handle, index), -1);
        EXPECT_EQ(talavex_symbol_gs1(handle, index), -1);
        double corners[8];
        EXPECT_EQ(talavex_symbol_corners(handle, index, corners), -1);
        uint32_t position = 9;
        EXPECT_EQ(talavex_symbol_structured_append(handle, index, &position, nullptr), 0u);
        EXPECT_EQ(position, 0u);
    }
    EXPECT_EQ(talavex_results_count(nullptr), 0u);
    EXPECT_EQ(talavex_results_status(nullptr), TALAVEX_INTERNAL_ERROR);
}

TEST(ReaderContract, OptionSettersRejectNullHandlesAndValuesOutOfRange) {
    const Options options(talavex_options_new());
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(talavex_options_set_max_symbols(options.get(), 0), -1);
    EXPECT_EQ(talavex_options_set_max_symbols(options.get(), 3), 0);
    EXPECT_EQ(talavex_options_set_where(options.get(), static_cast<talavex_where>(7)), -1);
    EXPECT_EQ(talavex_options_set_where(nullptr, TALAVEX_WHERE_CENTRE), -1);
    EXPECT_EQ(talavex_options_set_inverted(nullptr, 1), -1);
    EXPECT_EQ(talavex_options_set_time_budget_ms(nullptr, 5), -1);
    EXPECT_EQ(talavex_options_set_max_pixels(nullptr, 5), -1);
}

TEST(ReaderContract, VersionIsTheProjectVersion) { EXPECT_STREQ(talavex_version(), TALAVEX_PROJECT_VERSION); }

}  // namespace
