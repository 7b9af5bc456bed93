// talavex: reads the Aztec Code symbol in each image file and prints its bytes.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "image_file.h"
#include "talavex/talavex.h"

namespace {

const char kUsage[] =
    "usage: talavex [--mode frame|bgra|photo] IMAGE...\n"
    "\n"
    "Reads the Aztec Code symbol in each IMAGE (PNG, JPEG, BMP, PGM or PPM) and\n"
    "prints the decoded bytes as they are, without a trailing newline added to\n"
    "the data. With several images each result is printed as \"FILE: DATA\" on\n"
    "its own line.\n"
    "\n"
    "  --mode frame  the image's luminance through recognizeY; the symbol must be\n"
    "                near the centre (default)\n"
    "  --mode bgra   the colour pixels through recognizeBGRA; symbol near the centre\n"
    "  --mode photo  the colour pixels through recognizePhotoBGRA; the symbol may be\n"
    "                anywhere and small\n"
    "  -h, --help    show this text\n"
    "\n"
    "Exit status: 0 when every image was read, 1 when some image yielded no\n"
    "symbol, 2 when an image could not be loaded or recognition reported an error.\n";

enum class Mode { Frame, Bgra, Photo };

bool parseMode(const char* text, Mode& mode) {
    if (std::strcmp(text, "frame") == 0)
        mode = Mode::Frame;
    else if (std::strcmp(text, "bgra") == 0)
        mode = Mode::Bgra;
    else if (std::strcmp(text, "photo") == 0)
        mode = Mode::Photo;
    else
        return false;
    return true;
}

char* recognizeImage(const LoadedImage& image, Mode mode) {
    switch (mode) {
        case Mode::Frame: return recognizeY(image.luminance.data(), image.width, image.height);
        case Mode::Bgra: return recognizeBGRA(image.bgra.data(), image.width, image.height);
        case Mode::Photo: return recognizePhotoBGRA(image.bgra.data(), image.width, image.height);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    Mode mode = Mode::Frame;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--mode" || arg.rfind("--mode=", 0) == 0) {
            const char* value = arg == "--mode" ? (i + 1 < argc ? argv[++i] : "") : argv[i] + 7;
            if (!parseMode(value, mode)) {
                std::fprintf(stderr, "talavex: unknown mode '%s'\n\n%s", value, kUsage);
                return 2;
            }
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "talavex: unknown option '%s'\n\n%s", arg.c_str(), kUsage);
            return 2;
        }
        files.push_back(arg);
    }
    if (files.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    int status = 0;
    const bool prefix = files.size() > 1;
    for (const std::string& file : files) {
        LoadedImage image;
        std::string error;
        if (!loadImage(file, image, error)) {
            std::fprintf(stderr, "talavex: %s: %s\n", file.c_str(), error.c_str());
            status = 2;
            continue;
        }
        std::unique_ptr<char, void (*)(void*)> text(recognizeImage(image, mode), std::free);
        if (!text || std::strcmp(text.get(), "error") == 0) {
            std::fprintf(stderr, "talavex: %s: recognition failed\n", file.c_str());
            status = 2;
            continue;
        }
        if (prefix) std::printf("%s: ", file.c_str());
        std::fputs(text.get(), stdout);
        if (prefix) std::fputc('\n', stdout);
        if (text.get()[0] == '\0') {
            if (!prefix) std::fprintf(stderr, "talavex: %s: no symbol read\n", file.c_str());
            if (status == 0) status = 1;
        }
    }
    return status;
}
