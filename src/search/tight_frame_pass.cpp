#include "search/enlarged_crop.h"
#include "search/locator_run.h"
#include "search/passes.h"
#include "search/tight_frame.h"

namespace AztecCore {

namespace {

// A framed tight crop is enlarged until its shorter side has this many pixels:
// about 8 px per module for a compact symbol of two layers.
constexpr std::int32_t kTightSide = 256;

}  // namespace

PassOutcome tightFramePass(const Image::GrayBuf& image, ReadRules rules, const Deadline& deadline) {
    deadline.check();
    const auto frame = frameTight(image, kTightSide, kMaxScaledSide, deadline);
    if (!frame) return {};
    SymbolLocator locator(deadline);
    locator.source = lentImage(frame->image);
    PassOutcome outcome = centrePass(locator, rules);
    if (!outcome.read && !outcome.runePoints.empty()) {
        ReadRules runes = rules;
        runes.runes = true;
        PassOutcome rune = runePointsPass(locator, outcome.runePoints, runes, deadline);
        if (rune.read) outcome = std::move(rune);
    }
    for (auto* symbol : {&outcome.read, &outcome.unreadable}) {
        if (!*symbol) continue;
        for (auto& corner : (*symbol)->corners) corner = frame->toOriginal(corner);
        (*symbol)->moduleSize /= frame->factor;
    }
    return outcome;
}

}  // namespace AztecCore
