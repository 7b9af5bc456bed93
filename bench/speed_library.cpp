#include "speed_library.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <stdexcept>

namespace talavex_bench {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

namespace {

void* symbol(void* handle, const char* name, const std::string& path) {
    void* address = dlsym(handle, name);
    if (!address) throw std::runtime_error(path + ": no " + name);
    return address;
}

}  // namespace

TalavexLibrary::TalavexLibrary(const std::string& path) : path_(path) {
    // RTLD_LOCAL keeps each build's symbols to itself: the second build must
    // not resolve anything to the first. Two paths to one file would load it
    // once, so the caller gives two files even for one build.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw std::runtime_error(dlerror());
    y_ = reinterpret_cast<Recognize>(symbol(handle_, "recognizeY", path));
    bgra_ = reinterpret_cast<Recognize>(symbol(handle_, "recognizeBGRA", path));
    photo_ = reinterpret_cast<Recognize>(symbol(handle_, "recognizePhotoBGRA", path));
}

TalavexLibrary::~TalavexLibrary() { dlclose(handle_); }

std::string TalavexLibrary::recognize(Export which, const SpeedImage& image) const {
    return recognize(which, image.bytes.data(), image.width, image.height);
}

std::string TalavexLibrary::recognize(Export which, const std::uint8_t* pixels, std::uint32_t width,
                                      std::uint32_t height) const {
    const Recognize call = which == Export::Y ? y_ : which == Export::BGRA ? bgra_ : photo_;
    char* raw = call(pixels, width, height);
    std::string text = raw ? raw : "<null>";
    std::free(raw);
    return text;
}

}  // namespace talavex_bench
