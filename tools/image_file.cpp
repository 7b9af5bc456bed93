#include "image_file.h"

#include <stb_image.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "image/luma.h"
#include "image_completeness.h"

namespace {

// The whole file (or standard input for "-"); false with the system's reason.
bool readAll(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    const bool standardInput = path == "-";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(standardInput ? stdin : std::fopen(path.c_str(), "rb"),
                                                         standardInput ? [](std::FILE*) { return 0; } : std::fclose);
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    std::uint8_t buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    if (std::ferror(file.get()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

bool decode(const std::vector<std::uint8_t>& file, std::uint64_t maxPixels, LoadedImage& image, std::string& error) {
    if (file.size() > static_cast<std::size_t>(INT_MAX)) {
        error = "file too large";
        return false;
    }
    error = truncationOf(file.data(), file.size());
    if (!error.empty()) return false;
    const int length = static_cast<int>(file.size());
    int width = 0, height = 0, channels = 0;
    // The header's size, before a byte of pixels is decoded: a small file can
    // ask for gigabytes.
    if (maxPixels != 0 && stbi_info_from_memory(file.data(), length, &width, &height, &channels) != 0 &&
        std::uint64_t(width) * std::uint64_t(height) > maxPixels) {
        error = std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the " +
                std::to_string(maxPixels) + " that --max-pixels allows";
        return false;
    }
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(file.data(), length, &width, &height, &channels, 4), stbi_image_free);
    if (!rgba) {
        const char* reason = stbi_failure_reason();
        error = reason != nullptr && *reason != '\0' ? reason : "cannot decode the image (cut short or damaged?)";
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
        // The library's own colour conversion, so that --export y and --export bgra see the same gray.
        image.luminance[i] = AztecCore::Image::luma(r, g, b);
    }
    return true;
}

}  // namespace

bool loadImage(const std::string& path, std::uint64_t maxPixels, LoadedImage& image, std::string& error) {
    try {
        std::vector<std::uint8_t> file;
        return readAll(path, file, error) && decode(file, maxPixels, image, error);
    } catch (const std::bad_alloc&) {
        image = LoadedImage{};
        error = "out of memory";
        return false;
    }
}
