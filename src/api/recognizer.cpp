#include "api/recognizer.h"

#include "api/lent_source.h"
#include "api/report_text.h"
#include "decode/last_error_count.h"
#include "decode/wrapped_data_count.h"

namespace AztecCore {

Recognizer::Recognizer() : locator_(std::make_unique<SymbolLocator>()) {}

void Recognizer::forgetLastScan() {
    resultBytes_.clear();
    resultBytes_.shrink_to_fit();
    lastRead_.reset();
    lastUnread_.reset();
}

ScanStatus Recognizer::scanGray(const Image::GrayBuf& image, std::string& status) {
    forgetLastScan();
    const LentSource lent(*locator_, image);
    const ScanStatus found = scanLocated(status);
    metCompactRing_ = locator_->metCompactRingWithoutMode;
    return found;
}

ScanStatus Recognizer::scanFrame(const std::uint8_t* bgra, std::int32_t width, std::int32_t height,
                                 std::string& status) {
    workImage_.setFromBGRA(bgra, width, height);
    return scanGray(workImage_, status);
}

// Searches around the centre of the locator's source and reads what it finds.
ScanStatus Recognizer::scanLocated(std::string& status) {
    auto candidates = locator_->findCandidates();
    SymbolCandidate& cand = *candidates.front();

    if (!locator_->locate(cand)) {
        if (cand.kind != SymbolKind::None) {
            status = "Aztec code detected. The image quality does not allow for reading the data. " +
                     describeCandidate(cand);
        } else {
            status = "Code has been detected, but this is not Aztec";
        }
        return NotFound;
    }

    status = "Detected barcode area " + describeCandidate(cand);
    auto bytes = readCandidate(*locator_, cand);
    if (!bytes) return Located;

    status = "Read data " + describeCandidate(cand) + "\n" + " #err=" + formatInt(lastErrorCount.load());
    resultBytes_ = std::move(*bytes);
    return Read;
}

std::optional<std::vector<std::uint8_t>> Recognizer::readCandidate(SymbolLocator& locator, SymbolCandidate& cand) {
    const ModuleBits modules = locator.sampleModules(cand);
    auto data = decodeSymbolDetails(cand, modules, readerInitAllowed_);
    if (!data && gridRetriesAllowed_) data = readThroughRetriedGrids(locator, cand);
    SymbolRead read;
    read.shape = cand;
    if (!data && wrappedDataCountAllowed_) data = decodeWrappedDataCount(read.shape, modules);
    recordGeometry(cand, read);
    if (!data) {
        lastUnread_ = std::move(read);
        return std::nullopt;
    }
    read.data = std::move(*data);
    lastRead_ = std::move(read);
    return lastRead_->data.text.bytes;
}

std::optional<SymbolData> Recognizer::readThroughRetriedGrids(SymbolLocator& locator, SymbolCandidate& cand) {
    using Retry = SymbolLocator::GridRetry;
    for (const Retry retry : {Retry::OtherSeeds, Retry::SmoothedNodes}) {
        SymbolCandidate retried = cand;
        const auto modules = locator.resampleModules(retried, retry);
        if (!modules) return std::nullopt;
        if (auto data = decodeSymbolDetails(retried, *modules, readerInitAllowed_)) {
            cand = retried;
            return data;
        }
    }
    return std::nullopt;
}

std::string Recognizer::resultText() const { return std::string(resultBytes_.begin(), resultBytes_.end()); }

}  // namespace AztecCore
