#pragma once
// Lends an image to a locator for one scan instead of copying it: a pointer
// that owns nothing, taken back when the scan ends however it ends.
#include <memory>

#include "image/gray_buf.h"
#include "locate/symbol_locator.h"

namespace AztecCore {

class LentSource {
public:
    LentSource(SymbolLocator& locator, const Image::GrayBuf& image) : locator_(locator) {
        locator_.source = std::shared_ptr<const Image::GrayBuf>(std::shared_ptr<const Image::GrayBuf>(), &image);
    }
    ~LentSource() { locator_.source.reset(); }
    LentSource(const LentSource&) = delete;
    LentSource& operator=(const LentSource&) = delete;

private:
    SymbolLocator& locator_;
};

}  // namespace AztecCore
