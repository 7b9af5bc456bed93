// One location attempt and the search around the image centre.
#include <algorithm>

#include "locate/start_points.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::PointD;

bool SymbolLocator::readModeRingAtScales(SymbolCandidate& cand) {
    for (const double scale : {1.0, 1.1, 0.9})
        if (readModeRing(cand, scale)) return true;
    return false;
}

bool SymbolLocator::analyzeAt(SymbolCandidate& cand, std::int32_t x, std::int32_t y) {
    ++analyzeCount_;
    cand.center = seedCenter(x, y);
    // A full-range finder contains a compact-looking one, so full goes first.
    if (checkBullseye(cand, true)) {
        cand.kind = SymbolKind::Full;
        fitRingCorners(cand);
        if (readModeRingAtScales(cand)) return true;
        // The full-range test also passes around a compact finder whose
        // surroundings happen to close a square "ring" (often the quiet zone
        // beyond a small symbol); its mode ring then cannot read as
        // full-range, so the compact reading still deserves its chance. If
        // that fails too, the attempt reports what the full-range test saw.
        PointD fullCorners[4];
        std::copy(cand.corners, cand.corners + 4, fullCorners);
        if (checkBullseye(cand, false)) {
            cand.kind = SymbolKind::Compact;
            fitRingCorners(cand);
            if (readModeRingAtScales(cand)) return true;
        }
        cand.kind = SymbolKind::Full;
        std::copy(fullCorners, fullCorners + 4, cand.corners);
        return false;
    }
    if (!checkBullseye(cand, false)) {
        cand.kind = SymbolKind::None;
        return false;
    }
    cand.kind = SymbolKind::Compact;
    fitRingCorners(cand);
    return readModeRingAtScales(cand);
}

bool SymbolLocator::locate(SymbolCandidate& cand) {
    const std::int32_t cx = source->width() / 2;
    const std::int32_t cy = source->height() / 2;
    for (const StartOffset& o : kStartOffsets)
        if (analyzeAt(cand, cx + o.dx, cy + o.dy)) return true;
    return false;
}

}  // namespace AztecCore
