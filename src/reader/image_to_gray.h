#pragma once
// The caller's image view, any of the reader's pixel formats and strides,
// turned into the gray image the recognizer searches.
#include <optional>
#include <string>

#include "image/gray_buf.h"
#include "talavex/reader.h"

namespace AztecCore::Reader {

// Bytes per pixel of `format`; 0 for a value outside the enumeration.
std::uint32_t bytesPerPixel(talavex_format format);

// Why the view cannot be read (a static message), or nullptr when it can.
const char* invalidViewReason(const talavex_image& view);

// The view's luminance with the library's own weights (a valid view only).
Image::GrayBuf grayFromView(const talavex_image& view);

// Light and dark swapped.
void invertGray(Image::GrayBuf& image);

}  // namespace AztecCore::Reader
