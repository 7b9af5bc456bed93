#include "search/plan.h"

namespace AztecCore {

namespace {

constexpr ReadRules kReaderRules{true, true, true, false};
constexpr ReadRules kRuneRules{true, true, true, true};

Pass pass(PassKind kind, bool inverted) {
    const bool rune = kind == PassKind::RuneCentre || kind == PassKind::RunePositions;
    return {kind, inverted, rune ? kRuneRules : kReaderRules};
}

}  // namespace

const char* passName(PassKind kind) {
    switch (kind) {
        case PassKind::Centre: return "centre";
        case PassKind::Photo: return "photo";
        case PassKind::Positions: return "positions";
        case PassKind::DepthPositions: return "depth-positions";
        case PassKind::RuneCentre: return "rune-centre";
        case PassKind::RunePositions: return "rune-positions";
        case PassKind::Enlarged: return "enlarged";
        case PassKind::TightFrame: return "tight-frame";
    }
    return "?";
}

bool operator==(const Pass& a, const Pass& b) {
    return a.kind == b.kind && a.inverted == b.inverted && a.rules.readerInit == b.rules.readerInit &&
           a.rules.gridRetries == b.rules.gridRetries && a.rules.wrappedDataCount == b.rules.wrappedDataCount &&
           a.rules.runes == b.rules.runes;
}

Plan exportPlan(Export which) {
    Plan plan;
    plan.passes.push_back({which == Export::Photo ? PassKind::Photo : PassKind::Centre, false, ReadRules{}});
    return plan;
}

// Cheap passes of both polarities first: a search from start points costs
// about what the frame export costs, the finder scan and one analysis per
// finder less. Then the tight frame, which costs a copy of the image, the
// ring-depth map's further positions, and last the enlarged crops, which
// cost the most by far.
Plan readerPlan(const ReadOptions& options) {
    const bool centre = options.where != Where::Anywhere;
    const bool anywhere = options.where != Where::Centre;
    Plan plan;
    plan.maxSymbols = options.maxSymbols;
    // The sensor's own noise alone spans more levels than this.
    plan.leastContrast = 8;
    auto& p = plan.passes;
    for (const bool inverted : {false, true}) {
        if (inverted && !options.inverted) break;
        if (centre) p.push_back(pass(PassKind::Centre, inverted));
        // A rune near the centre: also where only positions are searched,
        // since a rune gives the position search's depth map little to go by.
        p.push_back(pass(PassKind::RuneCentre, inverted));
        if (anywhere) {
            p.push_back(pass(PassKind::Positions, inverted));
            p.push_back(pass(PassKind::RunePositions, inverted));
        }
    }
    for (const bool inverted : {false, true}) {
        if (inverted && !options.inverted) break;
        p.push_back(pass(PassKind::TightFrame, inverted));
    }
    if (anywhere) {
        for (const PassKind kind : {PassKind::DepthPositions, PassKind::Enlarged}) {
            for (const bool inverted : {false, true}) {
                if (inverted && !options.inverted) break;
                p.push_back(pass(kind, inverted));
            }
        }
    }
    if (options.maxSymbols > 1)
        plan.more = {pass(PassKind::Positions, false), pass(PassKind::DepthPositions, false),
                     pass(PassKind::Enlarged, false)};
    return plan;
}

}  // namespace AztecCore
