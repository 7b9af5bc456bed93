#pragma once
// The reader's read-rate classes beyond the exports' ones: what the reader
// reads and the exports do not (symbols at the edge of a frame, light-on-dark,
// no margin, runes, structured append, damaged reference lines), and decoys
// (no symbol, or rings that look like one) on which any read is wrong.
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "read_rate_classes.h"

namespace talavex_bench {

struct ReaderSample {
    Sample sample;  // image, the encoded bytes, frame (gray) or photo (BGRA filled)
    // Structured append the reader must report (count 0: none).
    std::uint32_t structCount = 0;
    std::uint32_t structPosition = 0;
    std::string structId;
};

struct ReaderClass {
    const char* name;
    std::function<ReaderSample(std::mt19937&)> make;
};

// Symbols the reader is expected to read.
const std::vector<ReaderClass>& readerClasses();

// Images without a readable symbol: any read of one of them is a wrong read.
const std::vector<ReaderClass>& decoyClasses();

// The bytes an export returns for the sample's symbol: the exports report no
// structured append and keep its header (the ID between spaces when there is
// one, then the position and the count as letters, A = 1) before the data.
std::string exportedBytes(const ReaderSample& sample);

}  // namespace talavex_bench
