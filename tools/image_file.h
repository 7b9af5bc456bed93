#pragma once
// Loads PNG, JPEG, BMP, PGM and PPM files into the pixel layouts the library takes.
#include <cstdint>
#include <string>
#include <vector>

struct LoadedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bgra;       // 4 bytes per pixel: blue, green, red, alpha
    std::vector<std::uint8_t> luminance;  // 1 byte per pixel
};

// Returns false (with a reason in `error`: the system's text when the file
// cannot be opened or read) when the file cannot be read or decoded, holds
// fewer pixel bytes than its header says (binary PGM/PPM, uncompressed BMP),
// has more than `maxPixels` pixels (0: no limit) by its header (checked
// before decoding), or cannot be held in memory. The path "-" reads standard
// input.
bool loadImage(const std::string& path, std::uint64_t maxPixels, LoadedImage& image, std::string& error);
