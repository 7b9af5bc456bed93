#pragma once
// Helpers of the locator tests: images as the locator sees them, and reading a rendered symbol through SymbolLocator.
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "decode/symbol_data.h"
#include "image/gray_buf.h"
#include "locate/symbol_locator.h"
#include "support/aztec_encoder.h"
#include "support/bullseye.h"
#include "support/render.h"

namespace locate_test {

using AztecCore::SymbolCandidate;
using AztecCore::SymbolKind;
using AztecCore::SymbolLocator;
using AztecCore::Image::GrayBuf;

inline std::shared_ptr<GrayBuf> toGrayBuf(const talavex_test::GrayImage& image) {
    return std::make_shared<GrayBuf>(image.pixels.data(), image.width, image.height);
}

using talavex_test::blankImage;

// The bytes of a located symbol as the reader reads them: its modules
// sampled, then its data decoded (reader-initialisation symbols too).
inline std::optional<std::vector<std::uint8_t>> readLocated(SymbolLocator& locator, SymbolCandidate& cand) {
    auto data = AztecCore::decodeSymbolDetails(cand, locator.sampleModules(cand), true);
    if (!data) return std::nullopt;
    return std::move(data->text.bytes);
}

struct ReadOutcome {
    bool located = false;
    std::optional<std::vector<std::uint8_t>> bytes;
    SymbolKind kind = SymbolKind::None;
};

// What a single-frame driver does: shared source, one candidate, locate, read.
inline ReadOutcome readThroughLocator(const talavex_test::GrayImage& image) {
    SymbolLocator locator;
    locator.source = toGrayBuf(image);
    auto cands = locator.findCandidates();
    ReadOutcome outcome;
    outcome.located = locator.locate(*cands.at(0));
    outcome.kind = cands.at(0)->kind;
    if (outcome.located) outcome.bytes = readLocated(locator, *cands.at(0));
    return outcome;
}

inline std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace locate_test
