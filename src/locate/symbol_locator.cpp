#include "locate/symbol_locator.h"

namespace AztecCore {

std::vector<std::unique_ptr<SymbolCandidate>> SymbolLocator::findCandidates() const {
    std::vector<std::unique_ptr<SymbolCandidate>> cands;
    auto cand = std::make_unique<SymbolCandidate>();
    if (source) cand->center = {source->width() * 0.5, source->height() * 0.5};
    cands.push_back(std::move(cand));
    return cands;
}

}  // namespace AztecCore
