#pragma once
// The caller's image view, any of the reader's pixel formats and strides,
// turned into the gray image the recognizer searches.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "talavex/reader.h"

namespace AztecCore::Reader {

// The raw value a C caller stored in an enumeration field or argument. C
// allows any int there; reading it as the C++ enumeration would be undefined
// for values outside it, so it is read as its bytes.
template <typename Enum>
std::uint32_t rawValueOf(const Enum& value) {
    static_assert(sizeof(Enum) == sizeof(std::uint32_t), "C enumerations are int-sized");
    std::uint32_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return raw;
}

// Bytes per pixel of a talavex_format value; 0 for one outside the enumeration.
std::uint32_t bytesPerPixel(std::uint32_t format);

// Why the view cannot be read (a static message), or nullptr when it can.
const char* invalidViewReason(const talavex_image& view);

// The view's luminance with the library's own weights (a valid view only);
// tightly packed gray pixels are lent, not copied. Every row converted counts
// against `deadline`.
Image::GrayBuf grayFromView(const talavex_image& view, const Deadline& deadline);

}  // namespace AztecCore::Reader
