#pragma once
// Enlarges an image by turning every monotonic rise or fall of each row and
// column into one sharp step at its intensity-weighted centre.
#include "common/deadline.h"
#include "image/gray_buf.h"

namespace AztecCore {

// destination keeps its (already set) size; every pixel of it is overwritten.
// Every row and column written counts against `deadline`.
void resampleEdgeSteps(Image::GrayBuf& destination, const Image::GrayBuf& source,
                       const Deadline& deadline = Deadline::none());

}  // namespace AztecCore
