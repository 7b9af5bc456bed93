#include "image_file.h"

#include <stb_image.h>

#include <memory>

#include "image/luma.h"

bool loadImage(const std::string& path, LoadedImage& image, std::string& error) {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(stbi_load(path.c_str(), &width, &height, &channels, 4),
                                                   stbi_image_free);
    if (!rgba) {
        error = stbi_failure_reason() ? stbi_failure_reason() : "cannot decode";
        return false;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.bgra.resize(count * 4);
    image.luminance.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned r = rgba.get()[4 * i], g = rgba.get()[4 * i + 1], b = rgba.get()[4 * i + 2];
        image.bgra[4 * i] = static_cast<std::uint8_t>(b);
        image.bgra[4 * i + 1] = static_cast<std::uint8_t>(g);
        image.bgra[4 * i + 2] = static_cast<std::uint8_t>(r);
        image.bgra[4 * i + 3] = rgba.get()[4 * i + 3];
        // The library's own colour conversion, so that --mode frame and --mode bgra see the same gray.
        image.luminance[i] = AztecCore::Image::luma(r, g, b);
    }
    return true;
}
