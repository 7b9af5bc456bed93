#pragma once
// One build of the library, loaded with dlopen() from its file, so that the
// speed report can hold two builds in one process and call either.
#include <cstdint>
#include <string>
#include <vector>

namespace talavex_bench {

enum class Export { Y, BGRA, PhotoBGRA };

// Whether two paths name one file: two builds compared must be two files,
// or dlopen() hands back the first for both.
bool sameFile(const std::string& a, const std::string& b);

// Pixels laid out for one export: luminance bytes for Export::Y, four bytes a
// pixel for the other two.
struct SpeedImage {
    std::vector<std::uint8_t> bytes;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The bytes encoded in the symbol the image shows; empty when it shows
    // none (the symbols' texts are never empty). The speed report compares
    // builds and does not look; the reader-cost report judges reads by it.
    std::string text;
};

class TalavexLibrary {
public:
    // Throws std::runtime_error with dlerror()'s message when the file does not
    // load or lacks one of the exports.
    explicit TalavexLibrary(const std::string& path);
    ~TalavexLibrary();
    TalavexLibrary(const TalavexLibrary&) = delete;
    TalavexLibrary& operator=(const TalavexLibrary&) = delete;

    const std::string& path() const { return path_; }
    // The export's answer; "<null>" when it returned NULL.
    std::string recognize(Export which, const SpeedImage& image) const;
    // The same for pixels held elsewhere, laid out as for SpeedImage.
    std::string recognize(Export which, const std::uint8_t* pixels, std::uint32_t width, std::uint32_t height) const;

private:
    using Recognize = char* (*)(const std::uint8_t*, std::uint32_t, std::uint32_t);
    std::string path_;
    void* handle_ = nullptr;
    Recognize y_ = nullptr;
    Recognize bgra_ = nullptr;
    Recognize photo_ = nullptr;
};

}  // namespace talavex_bench
