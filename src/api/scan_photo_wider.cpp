// The reader's wider photo pass, after the photo pass read nothing: the
// bull's-eye candidates the photo pass's one-per-cell peaks left out, each
// located directly and, where that fails, in the enlarged crop around it.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "api/locator_run.h"
#include "api/recognizer.h"
#include "photo/more_bullseye_candidates.h"

namespace AztecCore {

namespace {

// The photo pass tries five positions; its misses rank among the next few
// local maxima of the depth map, and each position costs a location attempt.
constexpr std::size_t kMorePositions = 8;

}  // namespace

ScanStatus Recognizer::scanPhotoWider(const std::shared_ptr<Image::GrayBuf>& photo, const BullseyeDepth& depth,
                                      const std::vector<CandidatePoint>& tried,
                                      const std::function<bool()>& outOfTime) {
    const BullseyeCandidates candidates = findMoreBullseyeCandidates(depth, tried, kMorePositions);
    // Where analyses ended: several maxima around one ring lead the analysis
    // to the same bull's-eye, whose crop only needs enlarging once. The
    // photo pass's positions stand in for where its own analyses ended.
    std::vector<Aztec::Math::PointD> examined;
    for (const CandidatePoint& p : tried) examined.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    bool located = false;
    for (const CandidatePoint& position : candidates.more) {
        if (outOfTime()) break;
        LocatorRun run(photo);
        const bool locatedHere = run.locator.analyzeAt(run.candidate(), position.x, position.y);
        const Aztec::Math::PointD centre = run.candidate().center;
        if (std::any_of(examined.begin(), examined.end(), [&](const Aztec::Math::PointD& e) {
                return std::abs(e.x - centre.x) < candidates.spacing && std::abs(e.y - centre.y) < candidates.spacing;
            }))
            continue;
        examined.push_back(centre);
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
