#include "image/gray_buf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace {

using AztecCore::Image::GrayBuf;

GrayBuf plane(std::int32_t w, std::int32_t h, const std::vector<std::uint8_t>& values) {
    return GrayBuf(values.data(), w, h);
}

void expectBadIndex(const std::function<void()>& f) {
    try {
        f();
        ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
}

struct PixelCase {
    std::int32_t x, y;
    int expected;  // -1: out of range
};

class PlanePixel : public ::testing::TestWithParam<PixelCase> {};

// Only the flat index stride*y + x is checked, never x and y on their own.
TEST_P(PlanePixel, ReadsTightlyPackedRows) {
    const PixelCase c = GetParam();
    const std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6};
    // A copy and a buffer reading the caller's pixels in place check alike.
    for (const GrayBuf& image : {plane(3, 2, pixels), GrayBuf::lend(pixels.data(), 3, 2)}) {
        EXPECT_EQ(image.stride(), 3);
        if (c.expected < 0) {
            expectBadIndex([&] { image.pixel(c.x, c.y); });
        } else {
            EXPECT_EQ(image.pixel(c.x, c.y), c.expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PlanePixel,
                         ::testing::Values(PixelCase{2, 0, 3}, PixelCase{0, 1, 4}, PixelCase{2, 1, 6},
                                           PixelCase{3, 0, 4}, PixelCase{-1, 1, 3}, PixelCase{3, 1, -1},
                                           PixelCase{0, 2, -1}, PixelCase{-1, 0, -1}, PixelCase{0, -1, -1},
                                           // 3 * 1431655766 wraps to 2 in 32 bits; it must not.
                                           PixelCase{0, 1431655766, -1}, PixelCase{0, 0x7fffffff, -1}));

TEST(GrayBuf, DefaultIsEmptyWithOneZeroByte) {
    GrayBuf image;
    EXPECT_EQ(image.storageSize(), 1u);
    EXPECT_EQ(image.stride(), 1);
    image.stretchContrast();
    image.fillWhite();
    EXPECT_EQ(image.pixel(0, 0), 0);
    EXPECT_EQ(GrayBuf(nullptr, 0, 0).stride(), 0);
}

struct SizeCase {
    std::int32_t w, h;
    std::size_t storage;  // 0: std::length_error
};

class PlaneSize : public ::testing::TestWithParam<SizeCase> {};

// The null source shows that nothing is read (the sanitizers would object).
TEST_P(PlaneSize, EmptyOrUnaddressablePlanesCopyNothing) {
    const SizeCase s = GetParam();
    if (s.storage == 0) {
        EXPECT_THROW(GrayBuf(nullptr, s.w, s.h), std::length_error);
        return;
    }
    GrayBuf image(nullptr, s.w, s.h);
    EXPECT_EQ(image.width(), s.w);
    EXPECT_EQ(image.height(), s.h);
    EXPECT_EQ(image.storageSize(), s.storage);
    image.stretchContrast();
    image.fillWhite();
    EXPECT_EQ(image.pixel(0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlaneSize,
                         ::testing::Values(SizeCase{0, 5, 1}, SizeCase{5, 0, 1}, SizeCase{-3, 2, 1},
                                           SizeCase{-3, -2, 6}, SizeCase{65536, 65536, 0},
                                           SizeCase{-65536, -65536, 0}));

TEST(GrayBuf, ResizeOnlyEverGrowsStorage) {
    std::vector<std::uint8_t> values(100);
    std::iota(values.begin(), values.end(), 0);
    GrayBuf image = plane(10, 10, values);
    image.resize(5, 5);
    EXPECT_EQ(image.storageSize(), 100u);
    EXPECT_EQ(image.pixel(0, 1), 5);  // old bytes reinterpreted under the new stride
    image.resize(10, 10);
    EXPECT_EQ(image.storageSize(), 100u);
    image.resize(20, 10);
    EXPECT_EQ(image.storageSize(), 200u);
    EXPECT_EQ(image.pixel(19, 4), 99);  // kept in place
    EXPECT_EQ(image.pixel(0, 5), 0);    // new bytes are zero
    EXPECT_THROW(image.resize(0x10000, 0x8000), std::length_error);
    EXPECT_EQ(image.width(), 20);
    EXPECT_EQ(image.storageSize(), 200u);
}

TEST(GrayBuf, StorageGrownAfterAResizeForOverwriteComesZeroed) {
    std::vector<std::uint8_t> pixels(64, 1);
    GrayBuf image = GrayBuf::lend(pixels.data(), 8, 8);
    image.resizeForOverwrite(16, 16);  // owned, unzeroed storage
    EXPECT_EQ(image.storageSize(), 256u);
    image.fill(7);
    image.resizeForOverwrite(8, 8);  // room enough: kept
    EXPECT_EQ(image.storageSize(), 256u);
    EXPECT_EQ(pixels[0], 1);
    // Storage grown by resize afterwards is zeroed as ever.
    image.resize(64, 64);
    EXPECT_EQ(image.pixel(255, 0), 7);
    for (std::int32_t i = 256; i < 64 * 64; ++i) ASSERT_EQ(image.pixel(i, 0), 0) << i;
}

TEST(GrayBuf, FillWhiteStopsAtTheImage) {
    GrayBuf image = plane(4, 4, std::vector<std::uint8_t>(16, 7));
    image.resize(3, 2);
    image.fillWhite();
    for (std::int32_t i = 0; i < 16; ++i) EXPECT_EQ(image.pixel(i, 0), i < 6 ? 255 : 7) << i;
}

struct StretchCase {
    std::vector<std::uint8_t> in, out;
};

class Stretch : public ::testing::TestWithParam<StretchCase> {};

TEST_P(Stretch, MapsDarkestToZeroAndBrightestTo255) {
    const StretchCase& c = GetParam();
    // One extra byte of slack beyond the image must neither count nor change.
    std::vector<std::uint8_t> values = c.in;
    values.push_back(c.in[0] > 128 ? 0 : 255);
    GrayBuf image = plane(static_cast<std::int32_t>(values.size()), 1, values);
    image.resize(static_cast<std::int32_t>(c.in.size()), 1);
    image.stretchContrast();
    std::vector<std::uint8_t> out(values.size());
    for (std::size_t x = 0; x < out.size(); ++x) out[x] = image.pixel(static_cast<std::int32_t>(x), 0);
    std::vector<std::uint8_t> expected = c.out;
    expected.push_back(values.back());
    EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Stretch,
                         ::testing::Values(StretchCase{{100, 50, 150}, {127, 0, 255}},
                                           StretchCase{{90, 90, 90}, {0, 0, 0}}, StretchCase{{200, 201}, {0, 255}},
                                           // (p - lo) * 255 needs more than 16 bits before the division
                                           StretchCase{{10, 11, 250}, {0, 1, 255}}));

TEST(GrayBuf, RowPixelsAreCheckedAsAWholeRow) {
    GrayBuf image = plane(3, 2, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(image.row(1)[2], 6);
    image.row(0)[1] = 9;
    EXPECT_EQ(image.pixel(1, 0), 9);
    expectBadIndex([&] { image.row(2); });
    expectBadIndex([&] { image.row(-1); });
    expectBadIndex([&] { image.setPixel(0, 2, 9); });
    // A row that only partly fits is refused too.
    image.resize(4, 1);
    expectBadIndex([&] { image.row(1); });
    EXPECT_EQ(image.row(0)[3], 4);
}

TEST(GrayBuf, LentPixelsAreReadInPlaceAndCopiedOnTheFirstWrite) {
    std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6};
    const GrayBuf lent = GrayBuf::lend(pixels.data(), 3, 2);
    pixels[4] = 50;
    EXPECT_EQ(lent.pixel(1, 1), 50);  // not a copy
    EXPECT_EQ(lent.row(1)[2], 6);
    expectBadIndex([&] { lent.row(2); });

    GrayBuf written = lent;
    written.setPixel(0, 0, 9);
    EXPECT_EQ(pixels[0], 1);  // the caller's pixels stay as they are
    EXPECT_EQ(lent.pixel(0, 0), 1);
    EXPECT_EQ(written.pixel(0, 0), 9);
    EXPECT_EQ(written.pixel(1, 1), 50);

    GrayBuf rowWritten = lent;
    rowWritten.row(0)[1] = 7;
    EXPECT_EQ(rowWritten.pixel(1, 0), 7);
    EXPECT_EQ(pixels[1], 2);
}

TEST(GrayBuf, CopiesAreDeepAndKeepTheSlack) {
    GrayBuf original = plane(4, 3, std::vector<std::uint8_t>(12, 9));
    original.resize(2, 2);
    const GrayBuf byPointer(&original);
    const GrayBuf byValue(original);
    original.setPixel(0, 0, 1);
    original.setPixel(11, 0, 2);
    for (const GrayBuf* copy : {&byPointer, &byValue}) {
        EXPECT_EQ(copy->stride(), 2);
        EXPECT_EQ(copy->height(), 2);
        EXPECT_EQ(copy->storageSize(), 12u);
        EXPECT_EQ(copy->pixel(0, 0), 9);
        EXPECT_EQ(copy->pixel(11, 0), 9);
    }
}

}  // namespace
