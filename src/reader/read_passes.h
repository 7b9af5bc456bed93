#pragma once
// The reader's search: the exports' passes (centre = the frame pass, anywhere
// = the photo pass, followed by a wider search of the positions it left out)
// in the order the options ask for, then the same on the inverted image when
// nothing was read. Each round ends with the rune pass near the centre, then
// (unless only the centre is searched) from the photo pass's candidate
// positions. When all of that read nothing, the centre and rune passes run
// again on the image framed in a light border (enlarged when small), for
// symbols cropped to their edge. Every pass reads with what the exports leave
// out: reader-initialisation symbols, grid retries for full-range symbols and
// compact data counts wrapped past 64.
#include <cstdint>
#include <vector>

#include "image/gray_buf.h"
#include "reader/symbol_result.h"

namespace AztecCore::Reader {

enum class Where { Auto, Centre, Anywhere };

struct ReadOptions {
    Where where = Where::Auto;
    std::uint32_t maxSymbols = 1;
    bool inverted = false;
    std::uint32_t budgetMs = 0;  // 0: none
};

// Up to options.maxSymbols symbols read, in the order found; with none read,
// the last located one (unreadable) when there was one.
std::vector<SymbolResult> readSymbols(Image::GrayBuf gray, const ReadOptions& options);

}  // namespace AztecCore::Reader
