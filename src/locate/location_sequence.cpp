// One location attempt and the search around the image centre.
#include <algorithm>

#include "locate/pixel_index.h"
#include "locate/start_points.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::PointD;

bool SymbolLocator::readModeRingAtScales(SymbolCandidate& cand, ReadRules rules) {
    for (const double scale : {1.0, 1.1, 0.9})
        if (readModeRing(cand, scale, rules)) return true;
    return false;
}

bool SymbolLocator::analyzeAt(SymbolCandidate& cand, std::int32_t x, std::int32_t y, ReadRules rules,
                              std::int32_t seedRadius) {
    ++analyzeCount_;
    cand.center = seedCenter(x, y, seedRadius);
    return analyzeSeeded(cand, rules);
}

bool SymbolLocator::analyzeSeeded(SymbolCandidate& cand, ReadRules rules) {
    cand.ringReadsAsRune = false;
    // A full-range finder contains a compact-looking one, so full goes first.
    if (checkBullseye(cand, true)) {
        cand.kind = SymbolKind::Full;
        fitRingCorners(cand);
        if (readModeRingAtScales(cand, rules)) return true;
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
            if (readModeRingAtScales(cand, rules)) return true;
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
    return readModeRingAtScales(cand, rules);
}

// Whether seedCenter(sx, sy) reads nothing of the working image beyond the
// square it quantises itself: the start point lies in the square, upper bounds
// excluded, so its fill keeps to it. What earlier attempts left in the working
// image then cannot change the seeding.
bool SymbolLocator::seedingIsSelfContained(std::int32_t sx, std::int32_t sy) const {
    const std::int32_t w = source->width();
    const std::int32_t h = source->height();
    if (w <= 0 || h < 1) return false;
    const std::int64_t r = std::min((w - 1) / 6, (h - 1) / 6);
    const std::int64_t x1 = std::min<std::int64_t>(std::max<std::int64_t>(sx + r, 0), w - 1);
    const std::int64_t y1 = std::min<std::int64_t>(std::max<std::int64_t>(sy + r, 0), h - 1);
    return sx >= 0 && sy >= 0 && sx < x1 && sy < y1;
}

// Attempts from start points in the same dark or light area often seed the
// same centre with the same levels. Everything an attempt reads after the
// seeding depends on that centre, the levels and the image alone: the
// bull's-eye check quantises what it reads beyond the seeded square with the
// seeding's levels, so every pixel it sees has the class those levels give
// it, and it releases earlier ring marks before filling; the fill marks keep
// their pixels' class. An attempt right after a failed one with the same centre
// and levels would fail the same way and leave the candidate as it is, so it is
// skipped. This holds only while every seeding is self-contained (the
// working image differs without the skipped attempts' marks) and the centre
// lies in the image (the edge scans quantise their row and column first).
bool SymbolLocator::locate(SymbolCandidate& cand, ReadRules rules, LocateTrace* trace) {
    const std::int32_t cx = source->width() / 2;
    const std::int32_t cy = source->height() / 2;
    const auto record = [&](std::int32_t sx, std::int32_t sy) {
        if (trace == nullptr) return;
        if (cand.ringReadsAsRune) trace->runeRings.push_back({sx, sy});
        if (cand.kind != SymbolKind::None) trace->sawBullseye = true;
    };
    bool skipRepeats = true;
    for (const StartOffset& o : kStartOffsets)
        skipRepeats = skipRepeats && seedingIsSelfContained(cx + o.dx, cy + o.dy);
    bool failedBefore = false;
    PointD failedCenter;
    Levels failedLevels;
    for (const StartOffset& o : kStartOffsets) {
        deadline_->check();
        const std::int32_t sx = cx + o.dx;
        const std::int32_t sy = cy + o.dy;
        if (!skipRepeats) {
            const bool located = analyzeAt(cand, sx, sy, rules);
            record(sx, sy);
            if (located) return true;
            continue;
        }
        ++analyzeCount_;
        cand.center = seedCenter(sx, sy);
        const bool repeat = failedBefore && cand.center.x == failedCenter.x && cand.center.y == failedCenter.y &&
                            seedLevels_.lo == failedLevels.lo && seedLevels_.mid == failedLevels.mid &&
                            seedLevels_.hi == failedLevels.hi;
        if (repeat) continue;
        const bool located = analyzeSeeded(cand, rules);
        record(sx, sy);
        if (located) return true;
        const std::int64_t px = nearestPixel(cand.center.x);
        const std::int64_t py = nearestPixel(cand.center.y);
        failedBefore = px >= 0 && py >= 0 && px < source->width() && py < source->height();
        failedCenter = cand.center;
        failedLevels = seedLevels_;
    }
    return false;
}

}  // namespace AztecCore
