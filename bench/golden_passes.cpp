#include "golden_passes.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>

#include "api/recognizer.h"
#include "image/gray_buf.h"
#include "talavex/talavex.h"

namespace talavex_bench {

using AztecCore::Recognizer;
using AztecCore::ScanStatus;
using AztecCore::Image::GrayBuf;

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

// The pass as the export runs it: a fresh recognizer per call, every
// exception turned into the export's "error".
PassRun runPass(const std::function<ScanStatus(Recognizer&, std::string&)>& pass) {
    PassRun run;
    try {
        Recognizer recognizer;
        const ScanStatus found = pass(recognizer, run.status);
        run.outcome = found == AztecCore::Read ? "read" : found == AztecCore::Located ? "located" : "not-found";
        // The export's C string ends at the first zero byte.
        if (found != AztecCore::NotFound) run.expectedExport = recognizer.resultText().c_str();
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
        std::function<ScanStatus(Recognizer&, std::string&)> pass;
        std::function<char*()> exported;
    };
    const Call calls[] = {
        {"Y",
         [&](Recognizer& r, std::string& status) { return r.scanGray(GrayBuf(image.pixels.data(), w, h), status); },
         [&] { return recognizeY(image.pixels.data(), width, height); }},
        {"BGRA", [&](Recognizer& r, std::string& status) { return r.scanFrame(bgra.data(), w, h, status); },
         [&] { return recognizeBGRA(bgra.data(), width, height); }},
        {"PhotoBGRA", [&](Recognizer& r, std::string& status) { return r.scanPhoto(bgra.data(), w, h, status); },
         [&] { return recognizePhotoBGRA(bgra.data(), width, height); }},
    };

    std::vector<std::string> lines;
    const std::string prefix = key + " " + std::to_string(image.width) + "x" + std::to_string(image.height) + " ";
    for (const Call& call : calls) {
        const PassRun run = runPass(call.pass);
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
