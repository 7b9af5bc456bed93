// The reader's wider photo pass, after the photo pass read nothing: the
// bull's-eye candidates the photo pass's one-per-cell peaks left out, each
// located directly and, where that fails, in the enlarged crop around it.
#include "api/locator_run.h"
#include "api/recognizer.h"
#include "photo/more_bullseye_candidates.h"

namespace AztecCore {

namespace {

// The photo pass tries five positions; its misses rank among the next few
// local maxima of the depth map, and each position costs a location attempt.
constexpr std::size_t kMorePositions = 8;

}  // namespace

ScanStatus Recognizer::scanPhotoWider(const std::shared_ptr<Image::GrayBuf>& photo,
                                      const std::function<bool()>& outOfTime) {
    bool located = false;
    for (const CandidatePoint& position : findMoreBullseyeCandidates(*photo, kMorePositions)) {
        if (outOfTime()) break;
        LocatorRun run(photo);
        const bool locatedHere = run.locator.analyzeAt(run.candidate(), position.x, position.y);
        if (locatedHere) {
            if (auto bytes = readCandidate(run.locator, run.candidate())) {
                resultBytes_ = std::move(*bytes);
                return Read;
            }
        }
        const EnlargedAttempts attempts = retryEnlarged(run.locator, run.candidate());
        if (attempts.read) return Read;
        located = located || locatedHere || attempts.locatedUnread;
    }
    return located ? Located : NotFound;
}

}  // namespace AztecCore
