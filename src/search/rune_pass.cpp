// The rune passes: the centre search again, or the analysis from given start
// points, now letting a compact ring that is no mode message read as a rune.
// A rune has no data layers, so its value is all there is to read once the
// ring and the rings around it verify.
#include <cmath>
#include <cstdio>
#include <vector>

#include "search/passes.h"

namespace AztecCore {

using Aztec::Math::PointD;

namespace {

// The gray levels around one square ring of modules, r modules out from the
// centre module (r = 0: that module alone); a point off the image reads as
// light, like the margin beyond it.
std::vector<std::uint32_t> ringSamples(const Image::GrayBuf& image, const SymbolCandidate& cand, std::int32_t r) {
    std::vector<std::uint32_t> samples;
    const auto add = [&](std::int32_t u, std::int32_t v) {
        const PointD p = imagePoint(cand, u, v);
        const double x = std::floor(p.x);
        const double y = std::floor(p.y);
        const bool inside = x >= 0 && y >= 0 && x < image.width() && y < image.height();
        samples.push_back(inside ? image.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)) : 255u);
    };
    if (r == 0) add(0, 0);
    for (std::int32_t k = -r; k < r; ++k) {
        add(k, -r);
        add(r, k);
        add(-k, r);
        add(-r, -k);
    }
    return samples;
}

// A rune is a compact finder and its ring alone: the finder's rings alternate
// dark and light, and beyond the ring lies the quiet zone. The centre of a
// larger symbol's finder, or a bogus fit across other structure, can still
// pass for a rune whose 28 ring bits carry a few corrected errors; it rarely
// also shows five clean rings and a light one beyond, which the grid fitted
// to the rune is checked for here.
bool runeFinderHolds(const Image::GrayBuf& image, const SymbolCandidate& cand) {
    std::vector<std::uint32_t> rings[7];
    std::uint64_t sums[2] = {0, 0};
    std::uint64_t counts[2] = {0, 0};
    for (std::int32_t r = 0; r <= 6; ++r) {
        if (r == 5) continue;
        rings[r] = ringSamples(image, cand, r);
        if (r == 6) continue;
        const bool light = r % 2 == 1;
        for (const std::uint32_t g : rings[r]) sums[light] += g;
        counts[light] += rings[r].size();
    }
    const double dark = static_cast<double>(sums[0]) / static_cast<double>(counts[0]);
    const double light = static_cast<double>(sums[1]) / static_cast<double>(counts[1]);
    const double threshold = (dark + light) / 2;
    std::uint32_t finderMisses = 0, finderSamples = 0, quietMisses = 0;
    for (std::int32_t r = 0; r <= 6; ++r) {
        const bool lightRing = r % 2 == 1 || r == 6;
        for (const std::uint32_t g : rings[r]) {
            const bool miss = (g > threshold) != lightRing;
            if (r == 6) {
                quietMisses += miss ? 1 : 0;
            } else {
                finderMisses += miss ? 1 : 0;
                ++finderSamples;
            }
        }
    }
    return light > dark && finderMisses * 10 <= finderSamples && quietMisses * 8 <= rings[6].size();
}

std::vector<std::uint8_t> threeDigits(std::uint32_t value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03u", value);
    return {digits, digits + 3};
}

}  // namespace

bool readRune(SymbolLocator& locator, SymbolCandidate& cand, PassOutcome& outcome) {
    if (cand.kind != SymbolKind::Rune) return false;
    // The corners come from the finder's map, polished like a small compact symbol's.
    locator.buildCompactGrid(cand);
    if (!runeFinderHolds(*locator.source, cand)) return false;
    SymbolRead read;
    read.shape = cand;
    recordGeometry(cand, read);
    read.data.text.bytes = threeDigits(cand.runeValue);
    outcome.read = std::move(read);
    outcome.diagnostics.status = Read;
    outcome.diagnostics.shape = cand;
    return true;
}

PassOutcome runeCentrePass(SymbolLocator& locator, ReadRules rules) {
    PassOutcome outcome;
    auto candidates = locator.findCandidates();
    if (locator.locate(*candidates.front(), rules)) readRune(locator, *candidates.front(), outcome);
    return outcome;
}

PassOutcome runePointsPass(SymbolLocator& locator, const std::vector<CandidatePoint>& points, ReadRules rules,
                           const Deadline& deadline) {
    PassOutcome outcome;
    outcome.diagnostics.positions = static_cast<std::int32_t>(points.size());
    for (const CandidatePoint& point : points) {
        deadline.check();
        auto candidates = locator.findCandidates();
        SymbolCandidate& cand = *candidates.front();
        if (locator.analyzeAt(cand, point.x, point.y, rules) && readRune(locator, cand, outcome)) break;
    }
    return outcome;
}

}  // namespace AztecCore
