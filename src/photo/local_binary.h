#pragma once
// A gray image binarised against its local contrast, kept as bits: the
// threshold of each 8 x 8 block is the mean around it held within the middle
// half of the levels nearby, blocks with no edge near them are light, and
// areas that look like noise (neighbouring pixels agreeing as often as not)
// are cleared. What the finder scan and the ring-depth map of the reader's
// search read.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "image/zeroed_allocator.h"

namespace AztecCore {

inline std::uint32_t lowestBit(std::uint64_t v) { return static_cast<std::uint32_t>(__builtin_ctzll(v)); }
inline std::uint32_t highestBit(std::uint64_t v) { return 63u - static_cast<std::uint32_t>(__builtin_clzll(v)); }

// A binary image in rows of 64-bit words: bit i % 64 of word i / 64 of line
// j is pixel i of line j. Rows for the scan, and a transposed copy whose
// lines are the columns, for the checks across it.
class BitLines {
public:
    BitLines(std::int32_t length, std::int32_t lines)
        : length_(length),
          lines_(lines),
          words_((static_cast<std::size_t>(length) + 63) / 64),
          bits_(words_ * static_cast<std::size_t>(lines)) {}

    // Writes the zeros over the storage a slice at a time, each counted
    // against `deadline`, for a caller about to write all over it: the first
    // touch of each page costs far more than the write.
    void touch(const Deadline& deadline);

    std::int32_t length() const { return length_; }
    std::int32_t lines() const { return lines_; }
    std::size_t words() const { return words_; }
    std::uint64_t* line(std::int32_t j) { return bits_.data() + words_ * static_cast<std::size_t>(j); }
    const std::uint64_t* line(std::int32_t j) const { return bits_.data() + words_ * static_cast<std::size_t>(j); }
    bool at(std::int32_t i, std::int32_t j) const {
        return ((line(j)[static_cast<std::size_t>(i) >> 6] >> (static_cast<std::uint32_t>(i) & 63u)) & 1u) != 0;
    }

    // The length of the run holding pixel i of line j, from i on in the
    // direction `step` (+1 or -1), counting i; at most `most`.
    std::int32_t runFrom(std::int32_t i, std::int32_t j, std::int32_t step, std::int32_t most) const {
        const std::uint64_t* w = line(j);
        const std::uint64_t flip = at(i, j) ? ~std::uint64_t{0} : 0;
        std::int32_t length = 0;
        std::int32_t p = i;
        while (length < most) {
            if (p < 0 || p >= length_) return length;
            const auto bit = static_cast<std::uint32_t>(p) & 63u;
            std::uint64_t v = w[static_cast<std::size_t>(p) >> 6] ^ flip;  // set where the colour changed
            if (step > 0) {
                v >>= bit;
                if (v != 0) return std::min(most, length + static_cast<std::int32_t>(lowestBit(v)));
                length += static_cast<std::int32_t>(64u - bit);
                p += static_cast<std::int32_t>(64u - bit);
            } else {
                v <<= 63u - bit;
                if (v != 0) return std::min(most, length + static_cast<std::int32_t>(63u - highestBit(v)));
                length += static_cast<std::int32_t>(bit + 1u);
                p -= static_cast<std::int32_t>(bit + 1u);
            }
        }
        return most;
    }

private:
    std::int32_t length_, lines_;
    std::size_t words_;
    // Zeroed by the allocator, not touched up front: on a large image the
    // first touch of each page is where the time goes, and the rows are
    // written one by one, each counted against a deadline.
    std::vector<std::uint64_t, Image::ZeroedAllocator<std::uint64_t>> bits_;
};

// The lines of `rows` as columns: line x of the result is column x. Every
// band of rows counts against `deadline`.
BitLines transposed(const BitLines& rows, const Deadline& deadline);

struct LocalBinary {
    BitLines rows;  // set where the pixel is dark
    std::int32_t blocksAcross = 0;
    std::vector<std::uint8_t> thresholds;  // per 8 x 8 block: dark below it (0: none)
    std::int32_t tilesAcross = 0;
    std::vector<std::uint8_t> noise;  // per tile: cleared as noise
    // The threshold of the block holding pixel (x, y).
    std::uint8_t thresholdAt(std::int32_t x, std::int32_t y) const;
    // Whether pixel (x, y) lies in a tile cleared as noise, whose side is noiseTileSide().
    bool noiseAt(std::int32_t x, std::int32_t y) const;
    static std::int32_t noiseTileSide();
    // The side of the blocks that have a threshold each.
    static std::int32_t blockSide();
    // Whether any dark pixel is left: none in an image of noise, grain or
    // flat areas alone, where no finder can lie.
    bool anyDark = false;
};

// Whether a block along the image's border has an edge near it (a threshold).
bool anyEdgeAtTheBorder(const LocalBinary& binary);

// Every row read counts against `deadline`.
LocalBinary binariseLocally(const Image::GrayBuf& image, const Deadline& deadline);

}  // namespace AztecCore
