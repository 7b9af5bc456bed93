#include "search/engine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "locate/start_points.h"
#include "search/blank_symbol.h"
#include "search/module_clarity.h"
#include "search/passes.h"
#include "search/search_image.h"

namespace AztecCore {

namespace {

// The candidate search reads the photo through blocks of this many pixels a side.
constexpr std::int32_t kSmallestPhoto = 64;
// Modules blanked beyond a read symbol's corners, for the corners' error.
constexpr double kBlankMargin = 1.5;
// The tight frame copies the image into a larger one and searches it again:
// always for an image this small (a symbol cropped to its edge at one or two
// pixels a module, too fine for the finder scan), for a larger one only where
// a finder lies in the middle of it, as that of a symbol filling the image does.
constexpr std::int32_t kAlwaysFramedSide = 320;

class Engine {
public:
    Engine(const Plan& plan, Image::GrayBuf gray, const Deadline& deadline)
        : image_(std::move(gray), deadline),
          deadline_(deadline),
          searchesAnywhere_(std::any_of(plan.passes.begin(), plan.passes.end(),
                                        [](const Pass& p) { return p.kind == PassKind::Positions; })) {}

    // Nothing to search for: an image too flat to hold a symbol.
    bool tooFlat(const Plan& plan) { return plan.leastContrast > 0 && !image_.spansAtLeast(plan.leastContrast); }

    // The pass, unless what earlier passes saw rules it out; true when it read.
    bool run(const Pass& pass) {
        std::optional<PassOutcome> outcome = runPass(pass);
        if (!outcome) return false;
        result_.ran.push_back({pass, outcome->diagnostics});
        if (outcome->read) {
            result_.reads.push_back({std::move(*outcome->read), pass.inverted});
            return true;
        }
        if (outcome->unreadable && !result_.unreadable)
            result_.unreadable = FoundSymbol{std::move(*outcome->unreadable), pass.inverted};
        return false;
    }

    // After a read: the symbol blanked out and the plan's further passes,
    // until the limit or a search that reads nothing new.
    void readMore(const Plan& plan) {
        const bool inverted = result_.reads.front().inverted;
        while (result_.reads.size() < plan.maxSymbols) {
            const SymbolRead& last = result_.reads.back().symbol;
            // A read with no known place has nothing to blank: the search
            // would find it first again.
            if (!last.hasGeometry) return;
            image_.blank(inverted, last.corners, kBlankMargin * last.moduleSize);
            if (!runUntilRead(plan.more, inverted)) return;
            if (repeatsEarlierRead(result_.reads.back())) {
                result_.reads.pop_back();
                return;
            }
        }
    }

    bool runUntilRead(const std::vector<Pass>& passes, std::optional<bool> polarity = std::nullopt) {
        for (Pass pass : passes) {
            deadline_.check();
            if (polarity) pass.inverted = *polarity;
            if (run(pass)) return true;
        }
        return false;
    }

    SearchResult& result() { return result_; }

private:
    std::optional<PassOutcome> runPass(const Pass& pass) {
        const bool inverted = pass.inverted;
        const std::int32_t width = image_.width();
        const std::int32_t height = image_.height();
        const bool photoSized = width >= kSmallestPhoto && height >= kSmallestPhoto;
        StateEvidence& seen = image_.evidence(inverted);
        // Light on dark is searched for where the finder scan saw a finder
        // light in the middle; without the scan, always. The tight frame of a
        // small image looks for symbols too fine for the scan. Until then
        // the inverse is not made: on most images no such pass runs.
        const bool framedAnyway = pass.kind == PassKind::TightFrame && std::max(width, height) <= kAlwaysFramedSide;
        if (inverted && searchesAnywhere_ && !framedAnyway && image_.positions(true).empty()) return std::nullopt;
        // Light on dark from the middle only where a light finder lies within
        // the centre search's reach; the depth map of the inverse (further
        // positions, as large as the image) only where some light finder
        // proved to be a bull's-eye.
        if (inverted && searchesAnywhere_) {
            const bool fromTheMiddle = pass.kind == PassKind::Centre || pass.kind == PassKind::RuneCentre;
            if (fromTheMiddle && !lightFinderNearTheMiddle()) return std::nullopt;
            if (pass.kind == PassKind::DepthPositions && !seen.positionsSawBullseye) return std::nullopt;
        }
        // The other polarity waits at least until this pass is done; what
        // it holds that can be made again is given back meanwhile.
        image_.setAside(!inverted);
        switch (pass.kind) {
            case PassKind::Centre: {
                PassOutcome outcome = centrePass(image_.locator(inverted), pass.rules);
                seen.centreRunePoints = outcome.runePoints;
                seen.centreSawBullseye = outcome.sawBullseye;
                if (outcome.unreadable) {
                    const bool clear = sampledClearly(*image_.locator(inverted).source, outcome.examined);
                    seen.centreExamined = PositionAnalysis{{}, outcome.examined, true, clear};
                }
                return outcome;
            }
            case PassKind::Photo: {
                // The photo export raises for a photo below the candidate search's size.
                const auto gray = image_.gray(inverted);
                return photoExportPass(gray, findBullseyeCandidates(*gray), pass.rules, deadline_);
            }
            case PassKind::Positions: {
                if (!photoSized) return std::nullopt;
                // A finder at the bull's-eye the centre search examined is
                // not analysed again; its enlargement starts from that analysis.
                seen.analyses.clear();
                if (seen.centreExamined) seen.analyses.push_back(*seen.centreExamined);
                PassOutcome outcome = positionsPass(image_.locator(inverted), image_.positions(inverted), pass.rules,
                                                    deadline_, seen.analyses);
                seen.positionRunePoints = outcome.runePoints;
                seen.positionsSawBullseye = outcome.sawBullseye;
                return outcome;
            }
            case PassKind::DepthPositions:
                // Further positions than the finders, at the analyses' cost.
                // The depth map is as large as the image; the working image
                // is given back while it is made, and made again for the
                // analyses.
                if (!photoSized) return std::nullopt;
                image_.releaseWorkingImage(inverted);
                return positionsPass(image_.locator(inverted), image_.depthPositions(inverted), pass.rules, deadline_,
                                     seen.analyses);
            case PassKind::RuneCentre:
                // Only where a ring's bits read as a rune can a rune be read.
                if (seen.centreRunePoints)
                    return runePointsPass(image_.locator(inverted), *seen.centreRunePoints, pass.rules, deadline_);
                return runeCentrePass(image_.locator(inverted), pass.rules);
            case PassKind::RunePositions:
                if (!seen.positionRunePoints) return std::nullopt;
                return runePointsPass(image_.locator(inverted), *seen.positionRunePoints, pass.rules, deadline_);
            case PassKind::Enlarged:
                // Each enlargement has a working image of its own.
                if (!photoSized || !anyWorthEnlarging(seen.analyses)) return std::nullopt;
                image_.releaseWorkingImage(inverted);
                return enlargedPass(image_.locator(inverted), seen.analyses, pass.rules, deadline_);
            case PassKind::TightFrame:
                if (!framedAnyway &&
                    (!finderInTheMiddle(pass) || locatedWithMargin(seen, width, height) || !edgeAtTheBorder()))
                    return std::nullopt;
                return tightFramePass(*image_.gray(inverted), pass.rules, deadline_);
        }
        return std::nullopt;
    }

    // Whether a light finder lies where the centre search could meet it:
    // its start points lie within startPointReach() of the middle and each
    // seeds a square reaching a sixth of the image's shorter side; twice the
    // seeding's reach, and the finder's own seven modules, leave room to spare.
    bool lightFinderNearTheMiddle() {
        const float seeded = static_cast<float>(startPointReach()) +
                             static_cast<float>(std::min(image_.width(), image_.height())) / 3.0f;
        return finderNearTheMiddle(true, seeded, seeded, 7.0f);
    }

    // Whether a finder of this polarity lies within `reachX` by `reachY`
    // pixels, and `modules` of its own modules, of the image's middle.
    bool finderNearTheMiddle(bool inverted, float reachX, float reachY, float modules) {
        const auto width = static_cast<float>(image_.width());
        const auto height = static_cast<float>(image_.height());
        for (const FinderCandidate& f : image_.positions(inverted)) {
            const float dx = std::fabs(static_cast<float>(f.centre.x) - 0.5f * width);
            const float dy = std::fabs(static_cast<float>(f.centre.y) - 0.5f * height);
            if (dx <= reachX + modules * f.moduleX && dy <= reachY + modules * f.moduleY) return true;
        }
        return false;
    }

    static bool anyWorthEnlarging(const std::vector<PositionAnalysis>& analyses) {
        return std::any_of(analyses.begin(), analyses.end(),
                           [](const PositionAnalysis& a) { return !enlargementFactors(a).empty(); });
    }

    // Whether a finder lies within a tenth of the image's sides (and two of
    // its modules) of the middle. The finder scan runs for the passes that
    // search anywhere; without them, a bull's-eye seen by the centre search
    // stands in for one.
    bool finderInTheMiddle(const Pass& pass) {
        if (!searchesAnywhere_) return image_.evidence(pass.inverted).centreSawBullseye.value_or(false);
        return finderNearTheMiddle(pass.inverted, 0.1f * static_cast<float>(image_.width()),
                                   0.1f * static_cast<float>(image_.height()), 2.0f);
    }

    // Whether an edge lies near the image's border, as where a symbol is cut
    // off by it: a border with none is the margin the tight frame would add.
    // Without the finder scan's binary image, as far as is known.
    bool edgeAtTheBorder() { return !searchesAnywhere_ || anyEdgeAtTheBorder(image_.binary()); }

    // Whether the centre search located a symbol that lies a module or more
    // inside the image: a margin the tight frame would only repeat.
    static bool locatedWithMargin(const StateEvidence& seen, std::int32_t width, std::int32_t height) {
        return seen.centreExamined && liesWithinImage(seen.centreExamined->candidate, width, height);
    }

    // The same bytes again, from no known place or from where an earlier read
    // was blanked: the blanking missed it, and it counts once.
    bool repeatsEarlierRead(const FoundSymbol& found) const {
        const SymbolRead& read = found.symbol;
        for (std::size_t k = 0; k + 1 < result_.reads.size(); ++k) {
            const SymbolRead& earlier = result_.reads[k].symbol;
            if (earlier.data.text.bytes != read.data.text.bytes) continue;
            if (!read.hasGeometry || !earlier.hasGeometry) return true;
            if (insideQuadrilateral(earlier.corners, centroid(read.corners))) return true;
        }
        return false;
    }

    SearchImage image_;
    const Deadline& deadline_;
    // The plan runs the finder scan anyway.
    bool searchesAnywhere_;
    SearchResult result_;
};

}  // namespace

SearchResult runPlan(const Plan& plan, Image::GrayBuf gray, const Deadline& deadline) {
    Engine engine(plan, std::move(gray), deadline);
    try {
        if (!engine.tooFlat(plan) && engine.runUntilRead(plan.passes) && plan.maxSymbols > 1) engine.readMore(plan);
    } catch (const OutOfTime&) {
        engine.result().outOfTime = true;
    }
    SearchResult result = std::move(engine.result());
    if (!result.reads.empty()) result.unreadable.reset();
    return result;
}

}  // namespace AztecCore
