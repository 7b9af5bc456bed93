#include "search/locator_run.h"
#include "search/passes.h"
#include "search/read_candidate.h"

namespace AztecCore {

PassOutcome centrePass(const Image::GrayBuf& image, ReadRules rules, const Deadline& deadline) {
    LocatorRun run(lentImage(image), deadline);
    SymbolCandidate& cand = run.candidate();
    PassOutcome outcome;
    const bool located = run.locator.locate(cand, rules);
    outcome.metCompactRingWithoutMode = cand.metCompactRingWithoutMode;
    if (located) {
        outcome.diagnostics.status = Located;
        CandidateRead found = readCandidate(run.locator, cand, rules);
        if (found.read) {
            outcome.diagnostics.status = Read;
            outcome.diagnostics.corrected = found.symbol.data.correctedCodewords;
            outcome.read = std::move(found.symbol);
        } else {
            outcome.unreadable = std::move(found.symbol);
        }
    }
    outcome.diagnostics.shape = cand;
    return outcome;
}

}  // namespace AztecCore
