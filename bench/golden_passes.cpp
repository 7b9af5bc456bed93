#include "golden_passes.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>

#include "api/export_search.h"
#include "golden_status.h"
#include "talavex/talavex.h"

namespace talavex_bench {

using AztecCore::Export;

namespace {

std::string escaped(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\\' || b == '"') {
            out += '\\';
            out += c;
        } else if (b >= 0x20 && b < 0x7f) {
            out += c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            out += hex;
        }
    }
    return out;
}

struct PassRun {
    std::string outcome;
    std::string status;
    std::string expectedExport;  // what the export must return after this pass
};

// The pass as the export runs it, every exception turned into the export's "error".
PassRun runPass(Export which, const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    PassRun run;
    try {
        const AztecCore::ExportSearch search = AztecCore::searchForExport(which, pixels, width, height);
        const AztecCore::PassDiagnostics& d = search.diagnostics();
        run.outcome = d.status == AztecCore::Read ? "read" : d.status == AztecCore::Located ? "located" : "not-found";
        run.status = statusText(which, d);
        // The export's C string ends at the first zero byte.
        run.expectedExport = search.text().c_str();
    } catch (const std::exception& e) {
        run.outcome = "threw";
        run.status = e.what();
        run.expectedExport = "error";
    } catch (...) {
        run.outcome = "threw";
        run.status = "(not a std::exception)";
        run.expectedExport = "error";
    }
    return run;
}

std::string takeResult(char* raw) {
    std::unique_ptr<char, void (*)(void*)> owned(raw, std::free);
    return owned ? std::string(owned.get()) : std::string("<null>");
}

}  // namespace

std::vector<std::string> goldenLines(const std::string& key, const talavex_test::GrayImage& image,
                                     std::uint32_t alphaSeed, std::vector<std::string>& mismatches) {
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(image, alphaSeed);
    const auto width = static_cast<std::uint32_t>(image.width);
    const auto height = static_cast<std::uint32_t>(image.height);
    const std::int32_t w = image.width;
    const std::int32_t h = image.height;

    struct Call {
        const char* name;
        Export which;
        const std::uint8_t* pixels;
        std::function<char*()> exported;
    };
    const Call calls[] = {
        {"Y", Export::Y, image.pixels.data(), [&] { return recognizeY(image.pixels.data(), width, height); }},
        {"BGRA", Export::BGRA, bgra.data(), [&] { return recognizeBGRA(bgra.data(), width, height); }},
        {"PhotoBGRA", Export::Photo, bgra.data(), [&] { return recognizePhotoBGRA(bgra.data(), width, height); }},
    };

    std::vector<std::string> lines;
    const std::string prefix = key + " " + std::to_string(image.width) + "x" + std::to_string(image.height) + " ";
    for (const Call& call : calls) {
        const PassRun run = runPass(call.which, call.pixels, w, h);
        const std::string result = takeResult(call.exported());
        lines.push_back(prefix + call.name + " " + run.outcome + " status=\"" + escaped(run.status) + "\" result=\"" +
                        escaped(result) + "\"");
        if (result != run.expectedExport) {
            mismatches.push_back(key + " " + call.name + ": the pass gives \"" + escaped(run.expectedExport) +
                                 "\", the export \"" + escaped(result) + "\"");
        }
    }
    return lines;
}

}  // namespace talavex_bench
