#pragma once
// A fresh locator with its one candidate, for one search of one image. The
// locator only reads its source, so every run on an image shares it.
#include <memory>
#include <utility>
#include <vector>

#include "common/deadline.h"
#include "image/gray_buf.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

struct LocatorRun {
    LocatorRun(std::shared_ptr<const Image::GrayBuf> image, const Deadline& deadline) : locator(deadline) {
        locator.source = std::move(image);
        candidates = locator.findCandidates();
    }
    SymbolCandidate& candidate() { return *candidates.front(); }

    SymbolLocator locator;
    std::vector<std::unique_ptr<SymbolCandidate>> candidates;
};

// `image` for a locator without a copy or a share of ownership: the caller
// keeps it alive and unchanged while the locator reads it.
inline std::shared_ptr<const Image::GrayBuf> lentImage(const Image::GrayBuf& image) {
    return std::shared_ptr<const Image::GrayBuf>(std::shared_ptr<const Image::GrayBuf>(), &image);
}

}  // namespace AztecCore
