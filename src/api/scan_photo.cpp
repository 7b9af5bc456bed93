// The photo pass: the symbol may lie anywhere in the photo and may be small,
// so candidate positions come from the bull's-eye search, and where the direct
// analysis fails the crop around a candidate is retried enlarged.
#include <algorithm>
#include <iostream>
#include <memory>
#include <new>
#include <utility>

#include "api/locator_run.h"
#include "api/recognizer.h"
#include "api/report_text.h"
#include "photo/bullseye_candidates.h"
#include "photo/edge_step_resampler.h"
#include "photo/enlargement_scales.h"

namespace AztecCore {

using Image::GrayBuf;

namespace {

// Whether the crop that cropAround would cut (ten mean ring widths by ten mean
// ring heights, truncated) admits any enlargement. Every factor is at least 1,
// so a crop already too large for the limits never gets an attempt; it is not
// cut at all, because the corners of a bogus ring can ask for gigabytes.
bool cropCanBeEnlarged(const SymbolCandidate& cand, std::int32_t maxSide) {
    const SymbolLocator::CropSize size = SymbolLocator::cropSizeFor(cand);
    if (size.width > maxSide || size.height > maxSide) return false;
    const auto w = static_cast<std::int32_t>(size.width);
    const auto h = static_cast<std::int32_t>(size.height);
    return w < 1 || h < 1 || enlargementAllowed(w, h, maxSide);
}

}  // namespace

ScanStatus Recognizer::scanPhoto(const std::uint8_t* bgra, std::int32_t width, std::int32_t height,
                                 std::string& status) {
    auto photo = std::make_shared<GrayBuf>();
    photo->setFromBGRA(bgra, width, height);
    return scanPhoto(std::move(photo), status);
}

ScanStatus Recognizer::scanPhoto(std::shared_ptr<GrayBuf> photo, std::string& status) {
    const std::vector<CandidatePoint> positions = findBullseyeCandidates(*photo);
    return scanPhotoAt(std::move(photo), positions, status);
}

ScanStatus Recognizer::scanPhotoAt(std::shared_ptr<GrayBuf> photo, const std::vector<CandidatePoint>& positions,
                                   std::string& status) {
    forgetLastScan();

    if (positions.empty()) {
        status = "Not detected barcode area";
        return NotFound;
    }

    std::string how;
    std::int32_t reads = 0;
    std::int32_t located = 0;
    for (const CandidatePoint& position : positions) {
        LocatorRun run(photo);
        const bool locatedHere = run.locator.analyzeAt(run.candidate(), position.x, position.y);
        if (locatedHere) {
            ++located;
            if (auto bytes = readCandidate(run.locator, run.candidate())) {
                how = " - directly";
                ++reads;
                resultBytes_ = std::move(*bytes);
                break;
            }
        }
        const EnlargedAttempts attempts = retryEnlarged(run.locator, run.candidate());
        if (attempts.read) {
            how = " - indirectly " + formatFloat(attempts.scale);
            ++reads;
        }
        // A located symbol is the answer for this photo, read or not.
        if (locatedHere) break;
        // Counted once per position, whether or not a later scale read it.
        if (attempts.locatedUnread) ++located;
    }

    if (reads >= 1) {
        status = "Read Aztec code." + how;
        return Read;
    }
    if (located >= 1) {
        status = "Aztec code detected. The image quality does not allow for reading the data. ";
        return Located;
    }
    status = "Nie wykryto kodu Aztec. Examined " + formatInt(static_cast<std::int32_t>(positions.size())) +
             " potential positions Aztec code.";
    return NotFound;
}

Recognizer::EnlargedAttempts Recognizer::retryEnlarged(const SymbolLocator& locator, const SymbolCandidate& cand) {
    if (!cropCanBeEnlarged(cand, maxScaledSide)) return {};
    const GrayBuf crop = locator.cropAround(cand);
    if (crop.width() <= 0 || crop.height() <= 0) return {};
    return readEnlarged(crop, SymbolLocator::cropOrigin(cand));
}

Recognizer::EnlargedAttempts Recognizer::readEnlarged(const GrayBuf& crop, Aztec::Math::PointD origin) {
    EnlargedAttempts attempts;
    // One buffer for every scale: the largest accepted size comes first, so
    // the smaller ones reuse its storage.
    const auto scaled = std::make_shared<GrayBuf>();
    for (const float s : enlargementScales()) {
        const std::int32_t w = scaledSide(crop.width(), s);
        const std::int32_t h = scaledSide(crop.height(), s);
        if (!enlargementAllowed(w, h, maxScaledSide)) continue;
        try {
            scaled->resize(w, h);
            resampleEdgeSteps(*scaled, crop);
            bool attemptLocated = false;
            auto bytes = tryScaled(scaled, attemptLocated);
            const double fx = static_cast<double>(crop.width()) / w;
            const double fy = static_cast<double>(crop.height()) / h;
            if (bytes && lastRead_) mapFromEnlargedCrop(*lastRead_, origin, fx, fy);
            if (!bytes && attemptLocated && lastUnread_) mapFromEnlargedCrop(*lastUnread_, origin, fx, fy);
            if (bytes) {
                attempts.read = true;
                attempts.scale = s;
                resultBytes_ = std::move(*bytes);
                break;
            }
            if (attemptLocated) attempts.locatedUnread = true;
        } catch (const std::bad_alloc& e) {
            // An enlargement too big for the memory at hand only costs this scale.
            std::cout << "bad_alloc caught: " << e.what() << "\n";
        }
    }
    return attempts;
}

std::optional<std::vector<std::uint8_t>> Recognizer::tryScaled(const std::shared_ptr<GrayBuf>& scaled, bool& located) {
    LocatorRun run(scaled);
    // The crop is centred on the candidate, so the analysis starts at its middle.
    located = run.locator.analyzeAt(run.candidate(), scaled->width() / 2, scaled->height() / 2);
    if (!located) return std::nullopt;
    return readCandidate(run.locator, run.candidate());
}

void Recognizer::mapFromEnlargedCrop(SymbolRead& read, Aztec::Math::PointD origin, double fx, double fy) {
    // The resampler puts an edge between source pixels i - 1 and i (at
    // i - 0.5, pixel centres being whole) at about (i - 0.5) times the
    // enlargement, so positions scale about pixel centre 0.
    for (Aztec::Math::PointD& corner : read.corners) corner = {origin.x + corner.x * fx, origin.y + corner.y * fy};
    read.moduleSize *= (fx + fy) / 2.0;
}

}  // namespace AztecCore
