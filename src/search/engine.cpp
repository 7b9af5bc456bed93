#include "search/engine.h"

#include <utility>

#include "search/blank_symbol.h"
#include "search/passes.h"
#include "search/search_image.h"

namespace AztecCore {

namespace {

// The candidate search reads the photo through blocks of this many pixels a side.
constexpr std::int32_t kSmallestPhoto = 64;
// Modules blanked beyond a read symbol's corners, for the corners' error.
constexpr double kBlankMargin = 1.5;

class Engine {
public:
    Engine(Image::GrayBuf gray, const Deadline& deadline) : image_(std::move(gray)), deadline_(deadline) {}

    // The pass, unless what earlier passes saw rules it out; true when it read.
    bool run(const Pass& pass) {
        const auto gray = image_.gray(pass.inverted, deadline_);
        const bool photoSized = gray->width() >= kSmallestPhoto && gray->height() >= kSmallestPhoto;
        std::optional<PassOutcome> outcome;
        switch (pass.kind) {
            case PassKind::Centre:
                outcome = centrePass(*gray, pass.rules, deadline_);
                image_.centreMetCompactRing(pass.inverted) = outcome->metCompactRingWithoutMode;
                break;
            case PassKind::Photo: {
                // The photo export raises for a photo below the candidate search's size.
                const std::vector<CandidatePoint> positions = findBullseyeCandidates(*gray);
                outcome = photoExportPass(gray, positions, pass.rules, deadline_);
                break;
            }
            case PassKind::Positions:
                if (!photoSized) break;
                image_.analyses(pass.inverted).clear();
                outcome = positionsPass(gray, image_.positions(pass.inverted, deadline_),
                                        image_.positionSpacing(pass.inverted, deadline_), pass.rules, deadline_,
                                        image_.analyses(pass.inverted));
                break;
            case PassKind::RuneCentre: {
                // A centre search that met no compact ring without a mode
                // message would find no rune either.
                const std::optional<bool> met = image_.centreMetCompactRing(pass.inverted);
                if (met && !*met) break;
                outcome = runeCentrePass(*gray, pass.rules, deadline_);
                break;
            }
            case PassKind::RunePositions:
                if (!photoSized) break;
                outcome = runePositionsPass(*gray, image_.positions(pass.inverted, deadline_), pass.rules, deadline_);
                break;
            case PassKind::Enlarged:
                if (!photoSized) break;
                outcome = enlargedPass(gray, image_.analyses(pass.inverted), pass.rules, deadline_);
                break;
            case PassKind::TightFrame: outcome = tightFramePass(*gray, pass.rules, deadline_); break;
        }
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
            image_.blank(inverted, last.corners, kBlankMargin * last.moduleSize, deadline_);
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
    SearchResult result_;
};

}  // namespace

SearchResult runPlan(const Plan& plan, Image::GrayBuf gray, const Deadline& deadline) {
    Engine engine(std::move(gray), deadline);
    try {
        if (engine.runUntilRead(plan.passes) && plan.maxSymbols > 1) engine.readMore(plan);
    } catch (const OutOfTime&) {
        engine.result().outOfTime = true;
    }
    SearchResult result = std::move(engine.result());
    if (!result.reads.empty()) result.unreadable.reset();
    return result;
}

}  // namespace AztecCore
