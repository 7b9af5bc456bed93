#include "reader/read_passes.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "api/recognizer.h"
#include "photo/bullseye_candidates.h"
#include "photo/peak_picker.h"
#include "reader/blank_symbol.h"
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
// Modules blanked beyond a read symbol's corners, for the corners' error.
constexpr double kBlankMargin = 1.5;

class Search {
public:
    explicit Search(const ReadOptions& options) : options_(options), start_(Clock::now()) {
        recognizer_.allowReaderInit(true);
        recognizer_.allowGridRetries(true);
        recognizer_.allowWrappedDataCount(true);
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
            found = recognizer_.scanPhotoAt(gray, positions(*gray), status);
            if (found != Read && !outOfTime())
                found = std::max(found, recognizer_.scanPhotoWider(gray, depth(*gray), positions(*gray),
                                                                   [this] { return outOfTime(); }));
        } else {
            found = recognizer_.scanGray(*gray, status);
            centreMetCompactRing_ = recognizer_.lastScanMetCompactRing();
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

    // The rune pass near the centre, or anywhere from the photo pass's
    // candidate positions; true when it read a rune.
    bool runRune(const Image::GrayBuf& gray, bool anywhere, bool inverted) {
        std::string status;
        ScanStatus found = NotFound;
        if (anywhere) {
            if (gray.width() < kSmallestPhoto || gray.height() < kSmallestPhoto) return false;
            found = recognizer_.scanRuneAt(gray, positions(gray), status);
        } else {
            // The centre pass met no ring a rune search would read differently.
            if (centreMetCompactRing_ && !*centreMetCompactRing_) return false;
            found = recognizer_.scanRune(gray, status);
        }
        if (found != Read || !recognizer_.lastRead()) return false;
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
        if (found != Read && recognizer_.lastScanMetCompactRing() && !outOfTime())
            found = recognizer_.scanRune(frame->image, status);
        if (found != Read || !recognizer_.lastRead()) return false;
        SymbolRead read = *recognizer_.lastRead();
        for (auto& corner : read.corners) corner = frame->toOriginal(corner);
        read.moduleSize /= frame->factor;
        results_.push_back(makeResult(std::move(read), true, inverted));
        return true;
    }

    // After a read: the symbol blanked out and the anywhere pass again, until
    // the limit, a search that reads nothing new, or the budget ends.
    void readMore(const std::shared_ptr<Image::GrayBuf>& gray, bool inverted) {
        const std::uint8_t light = lightLevel(*gray);
        while (results_.size() < options_.maxSymbols && !outOfTime()) {
            const SymbolResult& last = results_.back();
            // A read with no known place has nothing to blank: the search
            // would find it first again.
            if (!last.hasGeometry) return;
            blankQuadrilateral(*gray, last.corners, kBlankMargin * last.moduleSize, light);
            imageChanged();
            if (!run(gray, true, inverted)) return;
            if (repeatsEarlierRead(results_.back())) {
                results_.pop_back();
                return;
            }
        }
    }

    bool found() const { return !results_.empty(); }

    // The image was inverted or blanked: its bull's-eye positions are found again.
    void imageChanged() {
        depth_.reset();
        positions_.reset();
        centreMetCompactRing_.reset();
    }

    std::vector<SymbolResult> finish() {
        if (results_.empty() && unread_) results_.push_back(std::move(*unread_));
        return std::move(results_);
    }

private:
    // The photo pass, its wider search and the rune pass anywhere start from
    // the same ring-depth map, measured once per state of the image.
    const BullseyeDepth& depth(const Image::GrayBuf& gray) {
        if (!depth_) depth_ = measureBullseyeDepth(gray);
        return *depth_;
    }
    const std::vector<CandidatePoint>& positions(const Image::GrayBuf& gray) {
        if (!positions_) positions_ = pickPeaks(depth(gray).map, depth(gray).minimumPeak);
        return *positions_;
    }

    // The same bytes again, from no known place or from where an earlier read
    // was blanked: the blanking missed it, and it counts once.
    bool repeatsEarlierRead(const SymbolResult& read) const {
        for (std::size_t k = 0; k + 1 < results_.size(); ++k) {
            const SymbolResult& earlier = results_[k];
            if (earlier.bytes != read.bytes) continue;
            if (!read.hasGeometry || !earlier.hasGeometry) return true;
            if (insideQuadrilateral(earlier.corners, centroid(read.corners))) return true;
        }
        return false;
    }

    const ReadOptions& options_;
    Clock::time_point start_;
    Recognizer recognizer_;
    std::vector<SymbolResult> results_;
    std::optional<SymbolResult> unread_;
    std::optional<BullseyeDepth> depth_;
    std::optional<std::vector<CandidatePoint>> positions_;
    // Whether the centre pass on the image as it stands met a compact ring
    // that was no mode message; unknown until that pass ran.
    std::optional<bool> centreMetCompactRing_;
};

}  // namespace

std::vector<SymbolResult> readSymbols(Image::GrayBuf gray, const ReadOptions& options) {
    Search search(options);
    auto image = std::make_shared<Image::GrayBuf>(std::move(gray));
    bool imageInverted = false;
    const auto polarity = [&](bool inverted) {
        if (inverted == imageInverted) return;
        invertGray(*image);
        search.imageChanged();
        imageInverted = inverted;
    };
    const bool centre = options.where != Where::Anywhere;
    const bool anywhere = options.where != Where::Centre;
    const auto firstRead = [&] {
        for (const bool inverted : {false, true}) {
            if (inverted && !options.inverted) break;
            polarity(inverted);
            if (centre && !search.outOfTime() && search.run(image, false, inverted)) return true;
            if (anywhere && !search.outOfTime() && search.run(image, true, inverted)) return true;
            // Runes last: only a ring that reads as no ordinary symbol can be one.
            if (!search.outOfTime() && search.runRune(*image, false, inverted)) return true;
            if (anywhere && !search.outOfTime() && search.runRune(*image, true, inverted)) return true;
        }
        // Symbols cropped to their edge, once nothing else was read.
        for (const bool inverted : {false, true}) {
            if (inverted && !options.inverted) break;
            polarity(inverted);
            if (!search.outOfTime() && search.runTight(*image, inverted)) return true;
        }
        return false;
    };
    if (firstRead() && options.maxSymbols > 1) search.readMore(image, imageInverted);
    return search.finish();
}

}  // namespace AztecCore::Reader
