// A compact symbol whose damaged mode ring is repaired into a message claiming
// more data codewords than were written (30 instead of 17): every entry point
// used to return the text followed by check words read as text. Now each one
// reads nothing from it, however it lies in the image.
#include <gtest/gtest.h>

#include <ostream>

#include "e2e_support.h"
#include "talavex/reader.h"

namespace talavex_e2e {
namespace {

struct Placement {
    const char* name;
    double moduleSize;
    double angleDegrees;
    bool mirror;
};
void PrintTo(const Placement& p, std::ostream* os) { *os << p.name; }

const std::string kText = "RICTQXQVDIYLNCDJWLO";

AztecSymbol damagedSymbol() {
    AztecSymbol symbol = encode(kText, AztecSize::Compact, 2);
    for (const auto& [x, y] : {std::pair{6, 4}, {12, 4}, {14, 7}, {14, 12}, {7, 14}}) {
        std::uint8_t& module = symbol.modules[static_cast<std::size_t>(y * symbol.size + x)];
        module = module != 0 ? 0 : 1;
    }
    return symbol;
}

GrayImage render(const AztecSymbol& symbol, const Placement& p) {
    RenderOptions options;
    options.moduleSize = p.moduleSize;
    options.quietZone = 3;
    options.angleDegrees = p.angleDegrees;
    options.mirror = p.mirror;
    return talavex_test::renderSymbol(symbol, options);
}

// The reader's first symbol, if it read one.
std::string readerRead(const GrayImage& image) {
    const talavex_image view{image.pixels.data(), static_cast<std::uint32_t>(image.width),
                             static_cast<std::uint32_t>(image.height), static_cast<std::uint32_t>(image.width),
                             TALAVEX_GRAY8};
    talavex_options* options = talavex_options_new();
    talavex_options_set_inverted(options, 1);
    talavex_results* results = talavex_read(&view, options);
    talavex_options_free(options);
    std::string bytes;
    if (talavex_results_count(results) > 0 && talavex_symbol_status_of(results, 0) == TALAVEX_SYMBOL_READ) {
        size_t length = 0;
        const std::uint8_t* data = talavex_symbol_bytes(results, 0, &length);
        bytes.assign(reinterpret_cast<const char*>(data), length);
    }
    talavex_results_free(results);
    return bytes;
}

class RepairedModeMessage : public ::testing::TestWithParam<Placement> {};

TEST_P(RepairedModeMessage, ClaimingMoreDataWordsReadsNothingAnywhere) {
    const GrayImage intact = render(encode(kText, AztecSize::Compact, 2), GetParam());
    ASSERT_EQ(readY(intact), kText) << "the symbol reads before the damage";

    const GrayImage image = render(damagedSymbol(), GetParam());
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(image);
    EXPECT_EQ(readY(image), "");
    EXPECT_EQ(readBGRA(bgra, image.width, image.height), "");
    EXPECT_EQ(readPhoto(bgra, image.width, image.height), "");
    EXPECT_EQ(readerRead(image), "");
}

INSTANTIATE_TEST_SUITE_P(Placements, RepairedModeMessage,
                         ::testing::Values(Placement{"Upright3px", 3.0, 0.0, false},
                                           Placement{"Upright6px", 6.0, 0.0, false},
                                           Placement{"TurnedMirrored4px", 4.0, 90.0, true},
                                           Placement{"Tilted5px", 5.0, 17.0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace talavex_e2e
