#include <algorithm>
#include <cmath>

#include "search/module_clarity.h"
#include "search/passes.h"
#include "search/read_candidate.h"
#include "search/symbol_read.h"

namespace AztecCore {

namespace {

// The seeding holds the finder (six and a half modules out) and a margin.
constexpr float kSeedModules = 9.0f;
constexpr std::int32_t kLeastSeedRadius = 12;
// Enough for the finders of modules up to five pixels, which the finder scan
// finds anyway when they are any larger.
constexpr std::int32_t kUnknownModuleSeedRadius = 48;
// A finder's module and that of the bull's-eye its analysis saw differ by
// less than this where the bull's-eye is the finder's, perspective and blur
// included.
constexpr float kMostModuleRatio = 2.0f;
// Positions closer than three of these lead to the same bull's-eye.
constexpr float kLeastSpacingModule = 4.0f;

// Corners like those the bull's-eye check fits, three modules out from the
// centre on a compact finder and five on a full-range one, for a finder the
// analysis did not see.
void finderCorners(const FinderCandidate& f, SymbolCandidate& cand) {
    const double out = f.rings == 6 ? 5.0 : 3.0;
    const double cx = f.centre.x + 0.5;
    const double cy = f.centre.y + 0.5;
    const double dx = out * f.moduleX;
    const double dy = out * f.moduleY;
    cand.center = {cx, cy};
    cand.corners[0] = {cx - dx, cy - dy};
    cand.corners[1] = {cx + dx, cy - dy};
    cand.corners[2] = {cx + dx, cy + dy};
    cand.corners[3] = {cx - dx, cy + dy};
}

}  // namespace

PassOutcome positionsPass(SymbolLocator& locator, const std::vector<FinderCandidate>& finders, ReadRules rules,
                          const Deadline& deadline, std::vector<PositionAnalysis>& analyses) {
    PassOutcome outcome;
    outcome.diagnostics.positions = static_cast<std::int32_t>(finders.size());
    // Two finders found about one bull's-eye lead the analysis to the same place.
    const auto examined = [&](const Aztec::Math::PointD& c, float module) {
        const double near = 3.0 * module;
        return std::any_of(analyses.begin(), analyses.end(), [&](const PositionAnalysis& a) {
            return std::abs(a.candidate.center.x - c.x) < near && std::abs(a.candidate.center.y - c.y) < near;
        });
    };
    for (const FinderCandidate& finder : finders) {
        deadline.check();
        const float module = std::max(finder.moduleX, finder.moduleY);
        const Aztec::Math::PointD at{finder.centre.x + 0.5, finder.centre.y + 0.5};
        if (module > 0.0f && examined(at, module)) continue;
        auto candidates = locator.findCandidates();
        SymbolCandidate& cand = *candidates.front();
        // A position without a module is a spot of nested rings of any size.
        const std::int32_t radius =
            module > 0.0f ? std::max(kLeastSeedRadius, static_cast<std::int32_t>(std::ceil(kSeedModules * module)))
                          : kUnknownModuleSeedRadius;
        const bool located = locator.analyzeAt(cand, finder.centre.x, finder.centre.y, rules, radius);
        if (cand.ringReadsAsRune) outcome.runePoints.push_back(finder.centre);
        // A bull's-eye of another size than the finder's whose mode message
        // failed is what lay beside it, not the finder (in clutter, often):
        // no evidence of one, and the finder's own corners stand in for it,
        // as for a finder where the analysis saw none.
        const float ring = cand.kind != SymbolKind::None ? ringModule(cand) : 0.0f;
        const bool ownBullseye =
            cand.kind != SymbolKind::None &&
            (module <= 0.0f || (ring < kMostModuleRatio * module && module < kMostModuleRatio * ring));
        if (ownBullseye || located)
            outcome.sawBullseye = true;
        else if (module > 0.0f)
            finderCorners(finder, cand);
        else
            continue;
        if (examined(cand.center, std::max(module, kLeastSpacingModule))) continue;
        analyses.push_back({finder, cand, located});
        if (!located) continue;
        if (outcome.diagnostics.status == NotFound) outcome.diagnostics.status = Located;
        CandidateRead found = readCandidate(locator, cand, rules);
        if (found.read) {
            outcome.diagnostics.status = Read;
            outcome.read = std::move(found.symbol);
            break;
        }
        analyses.back().sampledClearly = sampledClearly(*locator.source, cand);
        if (!outcome.unreadable) outcome.unreadable = std::move(found.symbol);
    }
    return outcome;
}

}  // namespace AztecCore
