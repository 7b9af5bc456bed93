// The rune pass: the centre search again, now letting a compact ring that is
// no mode message read as a rune. A rune has no data layers, so its value is
// all there is to read once the ring verifies.
#include <cstdio>

#include "api/lent_source.h"
#include "api/recognizer.h"
#include "api/report_text.h"

namespace AztecCore {

namespace {

// Lends the image and turns rune reading on for one search, off again however
// it ends, so the exports' later scans with the same locator never see a rune.
class RuneSearch {
public:
    RuneSearch(SymbolLocator& locator, const Image::GrayBuf& image) : lent_(locator, image), locator_(locator) {
        locator_.acceptRunes = true;
    }
    ~RuneSearch() { locator_.acceptRunes = false; }
    RuneSearch(const RuneSearch&) = delete;
    RuneSearch& operator=(const RuneSearch&) = delete;

private:
    LentSource lent_;
    SymbolLocator& locator_;
};

std::vector<std::uint8_t> threeDigits(std::uint32_t value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03u", value);
    return {digits, digits + 3};
}

}  // namespace

ScanStatus Recognizer::scanRune(const Image::GrayBuf& image, std::string& status) {
    resultBytes_.clear();
    lastRead_.reset();
    lastUnread_.reset();
    const RuneSearch search(*locator_, image);
    auto candidates = locator_->findCandidates();
    SymbolCandidate& cand = *candidates.front();
    if (!locator_->locate(cand) || cand.kind != SymbolKind::Rune) {
        status = "No Aztec Rune found";
        return NotFound;
    }
    // The corners come from the finder's map, polished like a small compact symbol's.
    locator_->buildCompactGrid(cand);
    SymbolRead read;
    read.shape = cand;
    recordGeometry(cand, read);
    read.data.text.bytes = threeDigits(cand.runeValue);
    resultBytes_ = read.data.text.bytes;
    lastRead_ = std::move(read);
    status = "Read rune " + describeCandidate(cand);
    return Read;
}

}  // namespace AztecCore
