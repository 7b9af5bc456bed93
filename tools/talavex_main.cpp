// talavex: reads the Aztec Code symbols in each image file and prints them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "cli_options.h"
#include "image_file.h"
#include "json_line.h"
#include "talavex/reader.hpp"
#include "talavex/talavex.h"

namespace {

enum Exit { AllRead = 0, SomeUnread = 1, Failure = 2 };

// What one file came to: the lines to print, or the reason nothing was read.
struct FileOutcome {
    Exit exit = AllRead;
    std::string reason;  // for stderr when nothing was read
};

void printData(const std::string& file, bool prefix, std::string_view data) {
    if (prefix) std::printf("%s: ", file.c_str());
    std::fwrite(data.data(), 1, data.size(), stdout);
    std::fputc('\n', stdout);
}

FileOutcome runExport(const CliOptions& options, const std::string& file, const LoadedImage& image, bool prefix) {
    char* raw = nullptr;
    switch (options.exportPass) {
        case Export::Y: raw = recognizeY(image.luminance.data(), image.width, image.height); break;
        case Export::Bgra: raw = recognizeBGRA(image.bgra.data(), image.width, image.height); break;
        default: raw = recognizePhotoBGRA(image.bgra.data(), image.width, image.height); break;
    }
    const std::unique_ptr<char, void (*)(void*)> text(raw, std::free);
    if (!text || std::strcmp(text.get(), "error") == 0) return {Failure, "recognition failed"};
    if (text.get()[0] == '\0') return {SomeUnread, "no symbol read"};
    printData(file, prefix, text.get());
    return {};
}

FileOutcome runReader(const CliOptions& options, const std::string& file, const LoadedImage& image, bool prefix) {
    const talavex_image view{image.bgra.data(), image.width, image.height, image.width * 4, TALAVEX_BGRA};
    std::vector<talavex::Symbol> symbols;
    try {
        symbols = talavex::read(view, options.read);
    } catch (const std::exception& e) {
        return {Failure, e.what()};
    }
    bool read = false;
    for (const talavex::Symbol& symbol : symbols) {
        read = read || symbol.read;
        if (options.json) {
            std::printf("%s\n", jsonLine(file, symbol).c_str());
        } else if (symbol.read) {
            printData(file, prefix, symbol.data());
        }
    }
    if (read) return {};
    return {SomeUnread, symbols.empty() ? "no symbol found" : "symbol found, but its data could not be read"};
}

}  // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::string error;
    switch (parseCommandLine(argc, argv, options, error)) {
        case ParseOutcome::Help: std::fputs(kUsage, stdout); return AllRead;
        case ParseOutcome::Version: std::printf("talavex %s\n", talavex_version()); return AllRead;
        case ParseOutcome::Error: std::fprintf(stderr, "talavex: %s\n\n%s", error.c_str(), kUsage); return Failure;
        case ParseOutcome::Run: break;
    }

    int status = AllRead;
    const bool prefix = options.files.size() > 1;
    for (const std::string& file : options.files) {
        FileOutcome outcome;
        try {
            LoadedImage image;
            if (!loadImage(file, options.read.maxPixels, image, error)) {
                outcome = {Failure, error};
            } else {
                outcome = options.exportPass == Export::None ? runReader(options, file, image, prefix)
                                                             : runExport(options, file, image, prefix);
            }
        } catch (const std::bad_alloc&) {
            // The next file may be smaller; this one fails alone.
            outcome = {Failure, "out of memory"};
        }
        if (outcome.exit != AllRead) std::fprintf(stderr, "talavex: %s: %s\n", file.c_str(), outcome.reason.c_str());
        if (outcome.exit > status) status = outcome.exit;
    }
    return status;
}
