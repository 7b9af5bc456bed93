#include "search/passes.h"
#include "search/read_candidate.h"

namespace AztecCore {

PassOutcome centrePass(SymbolLocator& locator, ReadRules rules) {
    auto candidates = locator.findCandidates();
    SymbolCandidate& cand = *candidates.front();
    PassOutcome outcome;
    SymbolLocator::LocateTrace trace;
    const bool located = locator.locate(cand, rules, &trace);
    for (const SymbolLocator::IPoint& p : trace.runeRings) outcome.runePoints.push_back({p.x, p.y});
    outcome.sawBullseye = trace.sawBullseye;
    outcome.diagnostics.shape = cand;
    if (!located) return outcome;
    if (cand.kind == SymbolKind::Rune) {
        readRune(locator, cand, outcome);
        return outcome;
    }
    outcome.diagnostics.status = Located;
    CandidateRead found = readCandidate(locator, cand, rules);
    outcome.diagnostics.shape = cand;
    if (found.read) {
        outcome.diagnostics.status = Read;
        outcome.diagnostics.corrected = found.symbol.data.correctedCodewords;
        outcome.read = std::move(found.symbol);
    } else {
        outcome.unreadable = std::move(found.symbol);
        outcome.examined = cand;
    }
    return outcome;
}

}  // namespace AztecCore
