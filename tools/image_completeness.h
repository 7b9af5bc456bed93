#pragma once
// Binary PGM/PPM files and uncompressed BMP files say in their headers how
// many pixel bytes follow; a file cut short holds fewer. stb_image decodes
// such a file all the same, with the missing pixels zero or undefined, so the
// tool refuses it before decoding.
#include <cstddef>
#include <cstdint>
#include <string>

// Why the file is cut short, or "" when it is complete or of another kind
// (those are left to the decoder).
std::string truncationOf(const std::uint8_t* file, std::size_t size);
