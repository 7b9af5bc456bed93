#pragma once
// Bull's-eye candidates anywhere in an image, from the finder's own
// signature: along a line through its centre lie at least nine runs of
// alternating colour and equal width (the centre module and four rings on
// each side, six for a full-range finder), whatever the symbol's turn, and
// the runs say how large its modules are. Rows of the image, binarised
// against the local contrast, are scanned for such runs, and each hit is
// checked along its column. Noise, grain and text cost scanning time but do
// not hide a finder, which a map of nesting depth could not promise: there,
// grain that fills the background with specks outranks a real bull's-eye.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "photo/bullseye_candidates.h"
#include "photo/local_binary.h"

namespace AztecCore {

struct FinderCandidate {
    CandidatePoint centre;
    float moduleX = 0.0f;      // run width along the row through the centre, pixels
    float moduleY = 0.0f;      // along the column
    bool lightCentre = false;  // the finder is light on dark
    std::uint32_t rings = 4;   // equal runs on each side of the centre run: 4, or 6 as in a full-range finder
    std::uint32_t rows = 1;    // scanned rows that crossed it
};

// At most `limit` candidates in `image` (binarised as `binary`), those
// crossed by the most rows first (each row through the centre module crosses
// the finder: a real one of m pixels a module is crossed about m times).
// Every row scanned counts against `deadline`.
std::vector<FinderCandidate> scanFinders(const Image::GrayBuf& image, const LocalBinary& binary, std::size_t limit,
                                         const Deadline& deadline);

}  // namespace AztecCore
