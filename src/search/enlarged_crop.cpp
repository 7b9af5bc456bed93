#include "search/enlarged_crop.h"

#include <iostream>
#include <memory>
#include <new>

#include "photo/edge_step_resampler.h"
#include "photo/enlargement_scales.h"
#include "search/locator_run.h"
#include "search/read_candidate.h"

namespace AztecCore {

using Aztec::Math::PointD;
using Image::GrayBuf;

namespace {

// Whether the crop that cropAround would cut (ten mean ring widths by ten mean
// ring heights, truncated) admits any enlargement. Every factor is at least 1,
// so a crop already too large for the limits never gets an attempt; it is not
// cut at all, because the corners of a bogus ring can ask for gigabytes.
bool cropCanBeEnlarged(const SymbolCandidate& cand) {
    const SymbolLocator::CropSize size = SymbolLocator::cropSizeFor(cand);
    if (size.width > kMaxScaledSide || size.height > kMaxScaledSide) return false;
    const auto w = static_cast<std::int32_t>(size.width);
    const auto h = static_cast<std::int32_t>(size.height);
    return w < 1 || h < 1 || enlargementAllowed(w, h, kMaxScaledSide);
}

// Geometry found in a crop enlarged by 1/fx by 1/fy, moved to the image the
// crop was cut from at `origin`. The resampler puts an edge between source
// pixels i - 1 and i (at i - 0.5, pixel centres being whole) at about
// (i - 0.5) times the enlargement, so positions scale about pixel centre 0.
void mapFromEnlargedCrop(SymbolRead& read, PointD origin, double fx, double fy) {
    for (PointD& corner : read.corners) corner = {origin.x + corner.x * fx, origin.y + corner.y * fy};
    read.moduleSize *= (fx + fy) / 2.0;
}

}  // namespace

EnlargedAttempts readEnlargedCrop(const SymbolLocator& locator, const SymbolCandidate& cand,
                                  const std::vector<float>& scales, ReadRules rules, const Deadline& deadline,
                                  OutOfMemoryReport report) {
    EnlargedAttempts attempts;
    if (!cropCanBeEnlarged(cand)) return attempts;
    deadline.check();
    const GrayBuf crop = locator.cropAround(cand);
    if (crop.width() <= 0 || crop.height() <= 0) return attempts;
    const PointD origin = SymbolLocator::cropOrigin(cand);
    // One buffer for every scale: the largest accepted size comes first, so
    // the smaller ones reuse its storage.
    const auto scaled = std::make_shared<GrayBuf>();
    for (const float s : scales) {
        const std::int32_t w = scaledSide(crop.width(), s);
        const std::int32_t h = scaledSide(crop.height(), s);
        if (!enlargementAllowed(w, h, kMaxScaledSide)) continue;
        deadline.check();
        try {
            scaled->resize(w, h);
            resampleEdgeSteps(*scaled, crop, deadline);
            LocatorRun run(scaled, deadline);
            // The crop is centred on the candidate, so the analysis starts at its middle.
            if (!run.locator.analyzeAt(run.candidate(), w / 2, h / 2, rules)) continue;
            CandidateRead found = readCandidate(run.locator, run.candidate(), rules);
            mapFromEnlargedCrop(found.symbol, origin, static_cast<double>(crop.width()) / w,
                                static_cast<double>(crop.height()) / h);
            if (found.read) {
                attempts.read = std::move(found.symbol);
                attempts.scale = s;
                break;
            }
            attempts.unreadable = std::move(found.symbol);
        } catch (const std::bad_alloc& e) {
            // An enlargement too big for the memory at hand only costs this scale.
            if (report == OutOfMemoryReport::StandardOutput) std::cout << "bad_alloc caught: " << e.what() << "\n";
        }
    }
    return attempts;
}

}  // namespace AztecCore
