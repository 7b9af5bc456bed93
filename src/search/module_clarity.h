#pragma once
// Whether a symbol whose data failed could read any better from an enlarged
// crop of the same image.
#include "image/gray_buf.h"
#include "locate/symbol_candidate.h"

namespace AztecCore {

// The share of the symbol's modules whose gray value at their centre (the
// grid of `cand` as its last read built it) lies near the middle between its
// light and dark modules; 1 where the symbol has no contrast or lies mostly
// outside the image.
double unclearModuleShare(const Image::GrayBuf& image, const SymbolCandidate& cand);

// A symbol a module or more inside the image whose modules all but a few
// stand out clearly where its grid puts them: resampled from an enlarged
// crop, it gives the same bits, so a failed data read there fails again.
bool sampledClearly(const Image::GrayBuf& image, const SymbolCandidate& cand);

}  // namespace AztecCore
