// The photo export's pass: the symbol may lie anywhere in the photo and may
// be small, so candidate positions come from the bull's-eye search, and where
// the direct analysis fails the crop around a candidate is retried enlarged.
#include "photo/enlargement_scales.h"
#include "search/enlarged_crop.h"
#include "search/locator_run.h"
#include "search/passes.h"
#include "search/read_candidate.h"

namespace AztecCore {

PassOutcome photoExportPass(const std::shared_ptr<const Image::GrayBuf>& photo,
                            const std::vector<CandidatePoint>& positions, ReadRules rules, const Deadline& deadline) {
    PassOutcome outcome;
    PassDiagnostics& d = outcome.diagnostics;
    d.positions = static_cast<std::int32_t>(positions.size());
    const std::vector<float> scales = enlargementScales();
    std::int32_t located = 0;
    for (const CandidatePoint& position : positions) {
        deadline.check();
        LocatorRun run(photo, deadline);
        const bool locatedHere = run.locator.analyzeAt(run.candidate(), position.x, position.y, rules);
        if (locatedHere) {
            ++located;
            CandidateRead found = readCandidate(run.locator, run.candidate(), rules);
            if (found.read) {
                outcome.read = std::move(found.symbol);
                d.enlargement = 0.0f;
                break;
            }
            outcome.unreadable = std::move(found.symbol);
        }
        EnlargedAttempts attempts =
            readEnlargedCrop(run.locator, run.candidate(), scales, rules, deadline, OutOfMemoryReport::StandardOutput);
        const bool attemptLocated = attempts.unreadable.has_value();
        if (attemptLocated) outcome.unreadable = std::move(attempts.unreadable);
        // A later read replaces an earlier one.
        if (attempts.read) {
            outcome.read = std::move(attempts.read);
            d.enlargement = attempts.scale;
        }
        // A located symbol is the answer for this photo, read or not.
        if (locatedHere) break;
        // Counted once per position, whether or not a later scale read it.
        if (attemptLocated) ++located;
    }
    d.status = outcome.read ? Read : located >= 1 ? Located : NotFound;
    return outcome;
}

}  // namespace AztecCore
