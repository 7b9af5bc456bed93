#include <algorithm>
#include <cmath>

#include "photo/enlargement_scales.h"
#include "search/enlarged_crop.h"
#include "search/passes.h"
#include "search/symbol_read.h"

namespace AztecCore {

namespace {

// The photo export tries 61 factors from 4 down to 1 at every position; its
// reads from enlarged crops nearly all come from the first one or two, which
// make modules of one and a half to three pixels five to twelve pixels wide.
// A few factors spread over the range keep those reads at a tenth of the cost.
const std::vector<float>& readerScales() {
    static const std::vector<float> scales = [] {
        const std::vector<float> all = enlargementScales();
        std::vector<float> some;
        for (const std::size_t k : {0u, 4u, 10u, 20u, 40u}) some.push_back(all[k]);
        return some;
    }();
    return scales;
}

// The factor of the photo export's series nearest to `want`.
float nearestScale(float want) {
    float best = 1.0f;
    for (const float s : enlargementScales())
        if (std::fabs(s - want) < std::fabs(best - want)) best = s;
    return best;
}

// What one enlargement of wide modules aims at, in pixels a module.
constexpr float kWideTarget = 6.0f;

// Enlarged modules wider than this add cost, not detail.
constexpr float kWidestEnlargedModule = 12.0f;

// Modules this wide gain little from the factors that make small ones wide
// (the photo export's reads from enlarged crops are of modules of one and a
// half to three pixels); one or two factors still sharpen them and add the
// light margin of the crop beyond the image's edge.
constexpr float kWidestModuleToEnlarge = 3.5f;

// Crops around bull's-eyes whose mode message failed, in the order of the
// analyses (the finders crossed by the most rows first, then the deepest
// spots of the depth map): over the read-rate reports every such crop that
// read was the first or the second tried, while clutter and ring-like print
// offer dozens.
constexpr std::size_t kMostUnlocatedCrops = 4;

}  // namespace

std::vector<float> enlargementFactors(const PositionAnalysis& analysis) {
    if (analysis.sampledClearly) return {};
    const float module = analysis.finder.moduleX > 0.0f ? std::min(analysis.finder.moduleX, analysis.finder.moduleY)
                                                        : ringModule(analysis.candidate);
    std::vector<float> scales;
    if (module >= kWidestModuleToEnlarge) {
        // A mode message that failed on modules this wide fails enlarged
        // too: over the read-rate reports' symbols and decoys, not one such
        // crop in some two hundred read, while they were most of the cost
        // on tiles of bull's-eyes and ring-like clutter.
        if (!analysis.located) return {};
        // Twice their width, and (when that is less) the factor that makes
        // them about six pixels: enough for the resampling's sharp edges and
        // the crop's margin. Three times too: the data failed on a grid the
        // crop's fresh location fits anew at each factor, and under
        // perspective one of them may land where the others did not.
        scales.push_back(2.0f);
        const float s = nearestScale(std::clamp(kWideTarget / module, 1.2f, 2.0f));
        if (s < 2.0f) scales.push_back(s);
        scales.push_back(3.0f);
    } else {
        // The largest factors that fit: the crops around bull's-eyes whose
        // mode message failed read at the first or the second of them, if at
        // all, over the read-rate reports. A located symbol gets them all.
        const std::size_t most = analysis.located ? readerScales().size() : 2;
        for (const float s : readerScales())
            if (s * module <= kWidestEnlargedModule && scales.size() < most) scales.push_back(s);
    }
    return scales;
}

PassOutcome enlargedPass(const SymbolLocator& locator, const std::vector<PositionAnalysis>& analyses, ReadRules rules,
                         const Deadline& deadline) {
    PassOutcome outcome;
    outcome.diagnostics.positions = static_cast<std::int32_t>(analyses.size());
    std::size_t unlocated = 0;
    for (const PositionAnalysis& analysis : analyses) {
        const std::vector<float> scales = enlargementFactors(analysis);
        if (scales.empty()) continue;
        if (!analysis.located && ++unlocated > kMostUnlocatedCrops) continue;
        EnlargedAttempts attempts = readEnlargedCrop(locator, analysis.candidate, scales, rules, deadline);
        if (attempts.read) {
            outcome.diagnostics.status = Read;
            outcome.diagnostics.enlargement = attempts.scale;
            outcome.read = std::move(attempts.read);
            break;
        }
        if (attempts.unreadable) {
            outcome.diagnostics.status = Located;
            if (!outcome.unreadable) outcome.unreadable = std::move(attempts.unreadable);
        }
    }
    return outcome;
}

}  // namespace AztecCore
