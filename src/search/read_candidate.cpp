#include "search/read_candidate.h"

#include <optional>
#include <utility>

#include "decode/symbol_data.h"
#include "decode/wrapped_data_count.h"

namespace AztecCore {

namespace {

std::optional<SymbolData> readThroughRetriedGrids(SymbolLocator& locator, SymbolCandidate& cand, bool readerInit) {
    using Retry = SymbolLocator::GridRetry;
    for (const Retry retry : {Retry::OtherSeeds, Retry::SmoothedNodes}) {
        SymbolCandidate retried = cand;
        const auto modules = locator.resampleModules(retried, retry);
        if (!modules) return std::nullopt;
        if (auto data = decodeSymbolDetails(retried, *modules, readerInit)) {
            cand = retried;
            return data;
        }
    }
    return std::nullopt;
}

}  // namespace

CandidateRead readCandidate(SymbolLocator& locator, SymbolCandidate& cand, ReadRules rules) {
    const ModuleBits modules = locator.sampleModules(cand);
    auto data = decodeSymbolDetails(cand, modules, rules.readerInit);
    if (!data && rules.gridRetries) data = readThroughRetriedGrids(locator, cand, rules.readerInit);
    CandidateRead out;
    out.symbol.shape = cand;
    if (!data && rules.wrappedDataCount) data = decodeWrappedDataCount(out.symbol.shape, modules);
    recordGeometry(cand, out.symbol);
    if (data) {
        out.symbol.data = std::move(*data);
        out.read = true;
    }
    return out;
}

}  // namespace AztecCore
