#pragma once
// One recognition call: owns the locator, the gray work image and the bytes of
// the last successful read. A Recognizer is used by one thread at a time.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/symbol_read.h"
#include "image/gray_buf.h"
#include "locate/symbol_locator.h"
#include "photo/bullseye_candidates.h"

namespace AztecCore {

enum ScanStatus : std::int32_t { NotFound = 0, Located = 1, Read = 2 };

class Recognizer {
public:
    Recognizer();

    // Symbol expected near the image centre.
    ScanStatus scanGray(const Image::GrayBuf& image, std::string& status);
    // The same on interleaved BGRA pixels (alpha ignored), converted to gray.
    ScanStatus scanFrame(const std::uint8_t* bgra, std::int32_t width, std::int32_t height, std::string& status);
    // Symbol anywhere in a BGRA photo: candidate positions, then enlarged crops.
    ScanStatus scanPhoto(const std::uint8_t* bgra, std::int32_t width, std::int32_t height, std::string& status);

    // The photo pass on a gray photo, which its locators share and only read.
    ScanStatus scanPhoto(std::shared_ptr<Image::GrayBuf> photo, std::string& status);
    // The same from the photo's candidate positions (findBullseyeCandidates)
    // found by the caller, who can then share them with the rune pass.
    ScanStatus scanPhotoAt(std::shared_ptr<Image::GrayBuf> photo, const std::vector<CandidatePoint>& positions,
                           std::string& status);
    // The reader's search after scanPhoto read nothing: more candidate
    // positions from the photo's ring-depth map `depth` beside the photo
    // pass's own, `tried` (photo/more_bullseye_candidates.h), each tried as
    // scanPhoto tries its own, until one reads or `outOfTime` says so.
    // Neither clears nor reports a status text; the exports never call it.
    ScanStatus scanPhotoWider(const std::shared_ptr<Image::GrayBuf>& photo, const BullseyeDepth& depth,
                              const std::vector<CandidatePoint>& tried, const std::function<bool()>& outOfTime);
    // An Aztec Rune near the image centre (the exports never read runes): a
    // read holds the rune's value as three decimal digits.
    ScanStatus scanRune(const Image::GrayBuf& image, std::string& status);
    // The same from the given start points (the photo pass's candidate
    // positions), for a rune away from the centre.
    ScanStatus scanRuneAt(const Image::GrayBuf& image, const std::vector<CandidatePoint>& points, std::string& status);

    // Whether the last scanGray met a compact ring that read as no mode
    // message. Without one, scanRune on the same image searches the same way
    // and reads nothing, so it can be skipped.
    bool lastScanMetCompactRing() const { return metCompactRing_; }

    // The bytes of the last successful read, one char each (zero bytes kept).
    std::string resultText() const;
    // The last successful read with its metadata (none after a scan that read nothing).
    const std::optional<SymbolRead>& lastRead() const { return lastRead_; }
    // The last located symbol whose data could not be read (data left empty).
    const std::optional<SymbolRead>& lastUnread() const { return lastUnread_; }
    // Lets the data decoding also read reader-initialisation symbols, which
    // the exports leave unread.
    void allowReaderInit(bool allow) { readerInitAllowed_ = allow; }
    // Lets a full-range symbol whose data correction fails be sampled again
    // through rebuilt module grids (SymbolLocator::resampleModules); off for
    // the exports.
    void allowGridRetries(bool allow) { gridRetriesAllowed_ = allow; }
    // Lets a compact symbol that fails its check words be read once more with
    // its data count taken as wrapped round (decode/wrapped_data_count.h),
    // which the exports leave unread.
    void allowWrappedDataCount(bool allow) { wrappedDataCountAllowed_ = allow; }

    // The longest side an enlarged crop may have.
    static constexpr std::int32_t maxScaledSide = 4000;

private:
    // What the enlarged attempts at one crop came to.
    struct EnlargedAttempts {
        bool read = false;           // resultBytes_ holds what was read
        float scale = 0.0f;          // the enlargement that read it
        bool locatedUnread = false;  // some attempt located a symbol without reading it
    };

    // Every scan starts from nothing: no bytes, no read, no unread symbol.
    void forgetLastScan();
    ScanStatus scanLocated(std::string& status);
    // scanRune from the centre (points null) or from each of `points`.
    ScanStatus scanRuneFrom(const Image::GrayBuf& image, const std::vector<CandidatePoint>* points,
                            std::string& status);
    // Samples and decodes a located candidate; a read is kept as lastRead_,
    // an unreadable symbol as lastUnread_, both with their geometry in the
    // locator's image.
    std::optional<std::vector<std::uint8_t>> readCandidate(SymbolLocator& locator, SymbolCandidate& cand);
    // decodeSymbolDetails through each grid retry in turn; the candidate
    // takes the grid of the retry that read.
    std::optional<SymbolData> readThroughRetriedGrids(SymbolLocator& locator, SymbolCandidate& cand);
    // The crop around a located or suspected candidate, retried enlarged when
    // the limits allow it.
    EnlargedAttempts retryEnlarged(const SymbolLocator& locator, const SymbolCandidate& cand);
    // Retries one crop at decreasing enlargements until one reads; the
    // geometry of what it reads or locates is mapped back through the crop,
    // whose pixel (0, 0) is `origin` in the searched image.
    EnlargedAttempts readEnlarged(const Image::GrayBuf& crop, Aztec::Math::PointD origin);
    // One attempt on an enlarged crop; `located` reports whether the bull's-eye was found.
    // The locator reads `scaled` in place; the caller keeps it unchanged until this returns.
    std::optional<std::vector<std::uint8_t>> tryScaled(const std::shared_ptr<Image::GrayBuf>& scaled, bool& located);
    // Geometry found in a crop enlarged by 1/fx by 1/fy, moved to the image
    // the crop was cut from at `origin`.
    static void mapFromEnlargedCrop(SymbolRead& read, Aztec::Math::PointD origin, double fx, double fy);

    std::unique_ptr<SymbolLocator> locator_;
    Image::GrayBuf workImage_;
    std::vector<std::uint8_t> resultBytes_;
    std::optional<SymbolRead> lastRead_;
    std::optional<SymbolRead> lastUnread_;
    bool metCompactRing_ = false;
    bool readerInitAllowed_ = false;
    bool gridRetriesAllowed_ = false;
    bool wrappedDataCountAllowed_ = false;
};

}  // namespace AztecCore
