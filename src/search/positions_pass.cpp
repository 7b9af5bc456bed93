#include <algorithm>
#include <cmath>

#include "search/passes.h"
#include "search/read_candidate.h"

namespace AztecCore {

PassOutcome positionsPass(SymbolLocator& locator, const std::vector<CandidatePoint>& positions, std::int32_t spacing,
                          ReadRules rules, const Deadline& deadline, std::vector<PositionAnalysis>& analyses) {
    PassOutcome outcome;
    outcome.diagnostics.positions = static_cast<std::int32_t>(positions.size());
    // Several positions around one ring lead the analysis to the same
    // bull's-eye, which one analysis has then examined for them all.
    const auto examined = [&](const Aztec::Math::PointD& c) {
        return std::any_of(analyses.begin(), analyses.end(), [&](const PositionAnalysis& a) {
            return std::abs(a.candidate.center.x - c.x) < spacing && std::abs(a.candidate.center.y - c.y) < spacing;
        });
    };
    for (const CandidatePoint& position : positions) {
        deadline.check();
        auto candidates = locator.findCandidates();
        SymbolCandidate& cand = *candidates.front();
        const bool located = locator.analyzeAt(cand, position.x, position.y, rules);
        if (cand.metCompactRingWithoutMode) outcome.runePoints.push_back(position);
        // No bull's-eye: nothing to read here, nor to enlarge.
        if (cand.kind == SymbolKind::None || examined(cand.center)) continue;
        outcome.sawBullseye = true;
        analyses.push_back({position, cand, located});
        if (!located) continue;
        if (outcome.diagnostics.status == NotFound) outcome.diagnostics.status = Located;
        CandidateRead found = readCandidate(locator, cand, rules);
        if (found.read) {
            outcome.diagnostics.status = Read;
            outcome.read = std::move(found.symbol);
            break;
        }
        if (!outcome.unreadable) outcome.unreadable = std::move(found.symbol);
    }
    return outcome;
}

}  // namespace AztecCore
