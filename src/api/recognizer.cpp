#include "api/recognizer.h"

#include "api/report_text.h"
#include "decode/last_error_count.h"

namespace AztecCore {

Recognizer::Recognizer() : locator_(std::make_unique<SymbolLocator>()) {}

ScanStatus Recognizer::scanGray(const Image::GrayBuf& image, std::string& status) {
    resultBytes_.clear();
    resultBytes_.shrink_to_fit();
    locator_->source = std::make_shared<Image::GrayBuf>(&image);
    return scanLocated(status);
}

ScanStatus Recognizer::scanFrame(const Image::RgbBuf& frame, std::string& status) {
    resultBytes_.clear();
    resultBytes_.shrink_to_fit();
    workImage_.setFromRgb(frame);
    locator_->source = std::make_shared<Image::GrayBuf>(&workImage_);
    return scanLocated(status);
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
    auto bytes = locator_->readSymbol(cand);
    if (!bytes) return Located;

    status = "Read data " + describeCandidate(cand) + "\n" + " #err=" + formatInt(lastErrorCount.load());
    resultBytes_ = std::move(*bytes);
    return Read;
}

std::string Recognizer::resultText() const { return std::string(resultBytes_.begin(), resultBytes_.end()); }

}  // namespace AztecCore
