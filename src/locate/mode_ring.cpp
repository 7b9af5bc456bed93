// Mode-message ring: the finder's ring corners fix a projective map from
// symbol coordinates to the image; the ring of modules just outside the
// finder is sampled through it and binarised at several thresholds until the
// mode-message decoding accepts the bits.
#include "decode/mode_message.h"
#include "locate/map_sampling.h"
#include "locate/ring_threshold.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

using Aztec::Math::PointD;

std::uint32_t SymbolLocator::sampleAt(double u, double v) const { return sampleThrough(map_, u, v); }

std::uint32_t SymbolLocator::sampleThrough(const Aztec::Math::ProjectiveMap& map, double u, double v) const {
    const PointD p = map.apply(u, v);
    std::int32_t xi = 0, yi = 0;
    if (!nearestPixelWithin(p.x, source->width(), xi) || !nearestPixelWithin(p.y, source->height(), yi))
        return kOutsideSample;
    return source->pixel(xi, yi);
}

bool SymbolLocator::readModeRing(SymbolCandidate& cand, double scale, ReadRules rules) {
    if (cand.kind != SymbolKind::Compact && cand.kind != SymbolKind::Full) return false;
    const bool compact = cand.kind == SymbolKind::Compact;
    const int n = compact ? 10 : 14;
    const int half = n / 2;
    const double d = compact ? 3.0 : 5.0;
    map_ = Aztec::Math::fitProjectiveMap({-d, -d}, {d, -d}, {d, d}, {-d, d}, cand.corners[0], cand.corners[1],
                                         cand.corners[2], cand.corners[3]);

    // Clockwise from the top-left corner module; each side starts at its corner.
    std::vector<std::uint32_t> samples;
    samples.reserve(static_cast<std::size_t>(4 * n));
    const auto at = [scale](int k) { return static_cast<double>(k) * scale; };
    for (int k = 0; k < n; ++k) samples.push_back(sampleAt(at(-half + k), at(-half)));
    for (int k = 0; k < n; ++k) samples.push_back(sampleAt(at(half), at(-half + k)));
    for (int k = 0; k < n; ++k) samples.push_back(sampleAt(at(half - k), at(half)));
    for (int k = 0; k < n; ++k) samples.push_back(sampleAt(at(-half), at(half - k)));

    BitVector ringBits;
    for (const float f : kRingFractions) {
        binarizeSamples(samples, ringBits, f);
        if (parseModeMessage(cand, ringBits)) return true;
    }
    if (!compact) return false;
    // A rune is read only where a search asks for runes; elsewhere the ring
    // is only marked, so that a rune search can come back to it. Parsing the
    // bits costs far less than the analysis that sampled them.
    for (const float f : kRingFractions) {
        binarizeSamples(samples, ringBits, f);
        SymbolParameters rune = cand;
        if (!parseRuneMessage(rune, ringBits)) continue;
        cand.ringReadsAsRune = true;
        if (!rules.runes) return false;
        static_cast<SymbolParameters&>(cand) = rune;
        return true;
    }
    return false;
}

}  // namespace AztecCore
