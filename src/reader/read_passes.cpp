#include "reader/read_passes.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "api/recognizer.h"
#include "reader/image_to_gray.h"
#include "reader/tight_frame.h"

namespace AztecCore::Reader {

namespace {

using Clock = std::chrono::steady_clock;

// The photo pass searches for candidates at a scale that needs this much image.
constexpr std::int32_t kSmallestPhoto = 64;
// A framed tight crop is enlarged until its shorter side has this many pixels:
// about 8 px per module for a compact symbol of two layers.
constexpr std::int32_t kTightSide = 256;

class Search {
public:
    explicit Search(const ReadOptions& options) : options_(options), start_(Clock::now()) {
        recognizer_.allowReaderInit(true);
    }

    bool outOfTime() const {
        if (options_.budgetMs == 0) return false;
        return Clock::now() - start_ >= std::chrono::milliseconds(options_.budgetMs);
    }

    // One pass; true when it read a symbol.
    bool run(const std::shared_ptr<Image::GrayBuf>& gray, bool anywhere, bool inverted) {
        std::string status;
        ScanStatus found = NotFound;
        if (anywhere) {
            if (gray->width() < kSmallestPhoto || gray->height() < kSmallestPhoto) return false;
            found = recognizer_.scanPhoto(gray, status);
        } else {
            found = recognizer_.scanGray(*gray, status);
        }
        if (found == Read && recognizer_.lastRead()) {
            results_.push_back(makeResult(*recognizer_.lastRead(), true, inverted));
            return true;
        }
        if (found != NotFound && recognizer_.lastUnread() && !unread_) {
            unread_ = makeResult(*recognizer_.lastUnread(), false, inverted);
        }
        return false;
    }

    // The rune pass near the centre; true when it read a rune.
    bool runRune(const Image::GrayBuf& gray, bool inverted) {
        std::string status;
        if (recognizer_.scanRune(gray, status) != Read || !recognizer_.lastRead()) return false;
        results_.push_back(makeResult(*recognizer_.lastRead(), true, inverted));
        return true;
    }

    // The centre and rune passes on the image framed in a light border and
    // enlarged when small; a read's geometry is mapped back to the image.
    bool runTight(const Image::GrayBuf& gray, bool inverted) {
        const auto frame = frameTight(gray, kTightSide, Recognizer::maxScaledSide);
        if (!frame) return false;
        std::string status;
        ScanStatus found = recognizer_.scanGray(frame->image, status);
        if (found != Read && !outOfTime()) found = recognizer_.scanRune(frame->image, status);
        if (found != Read || !recognizer_.lastRead()) return false;
        SymbolRead read = *recognizer_.lastRead();
        for (auto& corner : read.corners) corner = frame->toOriginal(corner);
        read.moduleSize /= frame->factor;
        results_.push_back(makeResult(std::move(read), true, inverted));
        return true;
    }

    bool found() const { return !results_.empty(); }

    std::vector<SymbolResult> finish() {
        if (results_.empty() && unread_) results_.push_back(std::move(*unread_));
        return std::move(results_);
    }

private:
    const ReadOptions& options_;
    Clock::time_point start_;
    Recognizer recognizer_;
    std::vector<SymbolResult> results_;
    std::optional<SymbolResult> unread_;
};

}  // namespace

std::vector<SymbolResult> readSymbols(Image::GrayBuf gray, const ReadOptions& options) {
    Search search(options);
    auto image = std::make_shared<Image::GrayBuf>(std::move(gray));
    bool imageInverted = false;
    const auto polarity = [&](bool inverted) {
        if (inverted != imageInverted) invertGray(*image);
        imageInverted = inverted;
    };
    const bool centre = options.where != Where::Anywhere;
    const bool anywhere = options.where != Where::Centre;
    for (const bool inverted : {false, true}) {
        if (inverted && !options.inverted) break;
        polarity(inverted);
        if (centre && !search.outOfTime() && search.run(image, false, inverted)) return search.finish();
        if (anywhere && !search.outOfTime() && search.run(image, true, inverted)) return search.finish();
        // Runes last: only a ring that reads as no ordinary symbol can be one.
        if (!search.outOfTime() && search.runRune(*image, inverted)) return search.finish();
    }
    // Symbols cropped to their edge, once nothing else was read.
    for (const bool inverted : {false, true}) {
        if (inverted && !options.inverted) break;
        polarity(inverted);
        if (!search.outOfTime() && search.runTight(*image, inverted)) break;
    }
    return search.finish();
}

}  // namespace AztecCore::Reader
