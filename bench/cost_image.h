#pragma once
// An image of the reader-cost and budget reports, laid out for every call
// they time, with what it holds, and the classes such images come in.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/render.h"
#include "talavex/reader.h"

namespace talavex_bench {

struct CostImage {
    talavex_test::GrayImage gray;  // recognizeY's pixels, and the reader's unless readerTakesBgra
    // recognizePhotoBGRA's pixels; empty where the photo export is not timed
    // (under 64 pixels a side, or over 64 megapixels).
    std::vector<std::uint8_t> bgra;
    bool readerTakesBgra = false;  // photos: the reader reads them in colour, as in the read-rate report
    // What the image holds: the symbol's bytes (a rune's three digits), or
    // nothing (empty text). Any read of an image without a symbol is wrong.
    std::string text;
    std::string exported;  // what an export returns for it (a structured-append header kept)
    std::uint32_t structCount = 0;
    std::uint32_t structPosition = 0;
    std::string structId;
    std::string source;  // how to draw it again: its seed, or its index in the class

    bool hasSymbol() const { return !text.empty(); }
    talavex_image grayView() const;
    talavex_image bgraView() const;
    talavex_image readerView() const { return readerTakesBgra ? bgraView() : grayView(); }
};

struct CostClass {
    std::string name;
    int count = 0;
    // Calls that may take minutes or gigabytes: each runs once, in a child
    // process with a timeout.
    bool isolated = false;
    // One of the worst cases, whose time budget the budget report checks.
    bool worstCase = false;
    // Image `index`. The calls must come in order from index 0: the
    // read-rate report's frame and photo classes draw every image of a class
    // from one generator in turn.
    std::function<CostImage(int index)> make;
};

// The image with these pixels and no symbol; the photo export's pixels are
// made when it takes them.
CostImage costImage(talavex_test::GrayImage&& gray, std::string text = "");

// Pixels this many or more make a class isolated.
constexpr long long kIsolatedPixels = 16LL << 20;

}  // namespace talavex_bench
