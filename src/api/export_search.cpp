#include "api/export_search.h"

#include <utility>

#include "image/gray_buf.h"

namespace AztecCore {

std::string ExportSearch::text() const {
    if (result.reads.empty()) return {};
    const std::vector<std::uint8_t>& bytes = result.reads.front().symbol.data.text.bytes;
    return std::string(bytes.begin(), bytes.end());
}

ExportSearch searchForExport(Export which, const std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
    Image::GrayBuf gray;
    // Read in place: nothing in the search writes to the caller's pixels.
    if (which == Export::Y)
        gray = Image::GrayBuf::lend(pixels, width, height);
    else
        gray.setFromBGRA(pixels, width, height);
    return {runPlan(exportPlan(which), std::move(gray), Deadline::none())};
}

}  // namespace AztecCore
