#pragma once
// A fresh locator with its one candidate, for the photo passes. The locator
// only reads its source, so every run at a photo's positions shares one copy
// of the photo, and each enlarged attempt uses the scaled image itself.
#include <memory>
#include <utility>
#include <vector>

#include "image/gray_buf.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

struct LocatorRun {
    explicit LocatorRun(std::shared_ptr<Image::GrayBuf> image) {
        locator.source = std::move(image);
        candidates = locator.findCandidates();
    }
    SymbolCandidate& candidate() { return *candidates.front(); }

    SymbolLocator locator;
    std::vector<std::unique_ptr<SymbolCandidate>> candidates;
};

}  // namespace AztecCore
