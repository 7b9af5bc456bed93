#include <algorithm>
#include <cmath>

#include "photo/enlargement_scales.h"
#include "search/enlarged_crop.h"
#include "search/passes.h"

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

// The module of a bull's-eye the analysis saw, from its ring's corners:
// three modules out from the centre on a compact finder, five on a
// full-range one.
float ringModule(const SymbolCandidate& cand) {
    const double out = cand.kind == SymbolKind::Full ? 5.0 : 3.0;
    const double side = std::hypot(cand.corners[1].x - cand.corners[0].x, cand.corners[1].y - cand.corners[0].y);
    return static_cast<float>(side / (2.0 * out));
}

// Enlarged modules wider than this add cost, not detail.
constexpr float kWidestEnlargedModule = 12.0f;

}  // namespace

PassOutcome enlargedPass(const SymbolLocator& locator, const std::vector<PositionAnalysis>& analyses, ReadRules rules,
                         const Deadline& deadline) {
    PassOutcome outcome;
    outcome.diagnostics.positions = static_cast<std::int32_t>(analyses.size());
    for (const PositionAnalysis& analysis : analyses) {
        const float module = analysis.finder.moduleX > 0.0f ? std::min(analysis.finder.moduleX, analysis.finder.moduleY)
                                                            : ringModule(analysis.candidate);
        std::vector<float> scales;
        for (const float s : readerScales())
            if (s * module <= kWidestEnlargedModule) scales.push_back(s);
        if (scales.empty()) continue;
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
