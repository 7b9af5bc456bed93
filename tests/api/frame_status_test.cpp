// The frame passes' status texts, word for word, and what the C entry points
// make of the same frames: the bytes up to the first zero byte, "" for a
// symbol without data and for one that was not read. Real zint symbols; the
// altered ones are rewritten from them (see decode/decode_test_support.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "api/export_search.h"
#include "decode/decode_test_support.h"
#include "golden_status.h"
#include "support/render.h"
#include "talavex/talavex.h"

namespace {

using AztecCore::ScanStatus;
using talavex_test::AztecSize;
using talavex_test::AztecSymbol;
using talavex_test::GrayImage;
using talavex_test::RenderOptions;

enum class Alteration {
    None,
    BreakCodewords,  // `count` codewords get one wrong bit each
    OnlyPadding,     // one data codeword, all padding: no data at all
    BreakModeRing,   // every mode-message bit inverted: finder intact, nothing to read
    BreakAllData,    // every codeword wrong: located, beyond repair
    NoFinder,        // every module dark: a printed square, but no bull's-eye
};

struct StatusCase {
    const char* name;
    std::string data;  // may hold zero bytes
    AztecSize size;
    Alteration alteration;
    int count;
    double angle;
    bool mirror;
    ScanStatus result;
    std::string status;
    std::string resultText;  // the pass's bytes, zero bytes kept
    std::string exported;    // what recognizeY and recognizeBGRA return
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

AztecSymbol symbolFor(const StatusCase& c) {
    talavex_test::EncodeOptions options;
    options.size = c.size;
    const AztecSymbol plain = talavex_test::encodeAztec(c.data, options);
    if (c.alteration == Alteration::None) return plain;
    if (c.alteration == Alteration::NoFinder) {
        AztecSymbol block = plain;
        std::fill(block.modules.begin(), block.modules.end(), 1);
        return block;
    }

    using namespace decode_test;
    ModuleBits modules = toModuleBits(plain);
    const auto params = readModeMessage(modules);
    if (!params) throw std::runtime_error("zint symbol without a readable mode message");
    const auto where = layerBitModules(*params);
    const auto firstBitOf = [&](std::uint32_t codeword) {
        return where[params->spareBits + codeword * params->codewordBits];
    };
    switch (c.alteration) {
        case Alteration::BreakCodewords:
            for (int k = 0; k < c.count; ++k) {
                // Spread over data and check words.
                const auto [x, y] = firstBitOf(static_cast<std::uint32_t>(k) * 5 % params->totalCodewords);
                modules[x][y] = !modules[x][y];
            }
            break;
        case Alteration::BreakAllData:
            for (std::uint32_t k = 0; k < params->totalCodewords; ++k) {
                const auto [x, y] = firstBitOf(k);
                modules[x][y] = !modules[x][y];
            }
            break;
        case Alteration::OnlyPadding:
            modules = withDataCodewords(modules, {(1 << params->codewordBits) - 2}, where);
            break;
        case Alteration::BreakModeRing: {
            const auto ring = ringCoordinates(plain.size, params->kind == SymbolKind::Compact ? 5 : 7);
            for (const int p : modeBitRingPositions(params->kind)) {
                const auto [x, y] = ring[static_cast<std::size_t>(p)];
                modules[x][y] = !modules[x][y];
            }
            break;
        }
        case Alteration::None:
        case Alteration::NoFinder: break;
    }
    return toSymbol(modules);
}

GrayImage frameFor(const StatusCase& c) {
    RenderOptions options;
    // Modules large enough that every start point of the frame pass lies on
    // the finder, so the last attempt, which the status describes, sees it;
    // a frame wide enough that the seeding windows stay inside it.
    options.moduleSize = 16.0;
    options.angleDegrees = c.angle;
    options.mirror = c.mirror;
    options.width = 600;
    options.height = 600;
    return talavex_test::renderSymbol(symbolFor(c), options);
}

std::string exported(char* raw) {
    std::unique_ptr<char, void (*)(void*)> owned(raw, std::free);
    return owned ? std::string(owned.get()) : std::string("<null>");
}

class FrameStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(FrameStatusTest, BothFramePassesReportAndReturnExactly) {
    const StatusCase& c = GetParam();
    const GrayImage frame = frameFor(c);
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(frame, 5);
    const auto width = static_cast<std::uint32_t>(frame.width);
    const auto height = static_cast<std::uint32_t>(frame.height);

    const auto expectPass = [&](AztecCore::Export which, const std::uint8_t* pixels) {
        const AztecCore::ExportSearch search = AztecCore::searchForExport(which, pixels, frame.width, frame.height);
        EXPECT_EQ(search.diagnostics().status, c.result);
        EXPECT_EQ(talavex_bench::statusText(which, search.diagnostics()), c.status);
        EXPECT_EQ(search.text(), c.resultText);
    };
    expectPass(AztecCore::Export::Y, frame.pixels.data());
    expectPass(AztecCore::Export::BGRA, bgra.data());
    EXPECT_EQ(exported(recognizeY(frame.pixels.data(), width, height)), c.exported);
    EXPECT_EQ(exported(recognizeBGRA(bgra.data(), width, height)), c.exported);
}

using std::string_literals::operator""s;
constexpr auto kRead = AztecCore::Read;
constexpr auto kLocated = AztecCore::Located;
constexpr auto kNotFound = AztecCore::NotFound;
constexpr auto kCompact = AztecSize::Compact;
constexpr auto kFull = AztecSize::Full;

// The symbol descriptions follow from the data: "ABC" is three 5-bit
// upper-case codes, 15 bits in three 6-bit codewords; a compact one-layer
// symbol holds 17 codewords, a full-range one 21. "A\0B" needs a binary shift
// for the zero byte (28 bits, five codewords once a stuffed bit is added), "\0"
// alone four. The check-word share is rounded down.
INSTANTIATE_TEST_SUITE_P(
    Table, FrameStatusTest,
    ::testing::Values(StatusCase{"Compact", "ABC", kCompact, Alteration::None, 0, 0.0, false, kRead,
                                 "Read data (C 0' L: 1 D: 18 ECC: 82%)\n #err=0", "ABC", "ABC"},
                      StatusCase{"HalfTurn", "ABC", kCompact, Alteration::None, 0, 180.0, false, kRead,
                                 "Read data (C 180' L: 1 D: 18 ECC: 82%)\n #err=0", "ABC", "ABC"},
                      StatusCase{"Mirrored", "ABC", kCompact, Alteration::None, 0, 0.0, true, kRead,
                                 "Read data (C 0'M L: 1 D: 18 ECC: 82%)\n #err=0", "ABC", "ABC"},
                      StatusCase{"FullRange", "ABC", kFull, Alteration::None, 0, 0.0, false, kRead,
                                 "Read data (F 0' L: 1 D: 18 ECC: 85%)\n #err=0", "ABC", "ABC"},
                      StatusCase{"OneRepair", "ABC", kCompact, Alteration::BreakCodewords, 1, 0.0, false, kRead,
                                 "Read data (C 0' L: 1 D: 18 ECC: 82%)\n #err=1", "ABC", "ABC"},
                      StatusCase{"ThreeRepairs", "ABC", kFull, Alteration::BreakCodewords, 3, 0.0, false, kRead,
                                 "Read data (F 0' L: 1 D: 18 ECC: 85%)\n #err=3", "ABC", "ABC"},
                      StatusCase{"ZeroByteInside", "A\0B"s, kCompact, Alteration::None, 0, 0.0, false, kRead,
                                 "Read data (C 0' L: 1 D: 30 ECC: 70%)\n #err=0", "A\0B"s, "A"},
                      StatusCase{"ZeroByteOnly", "\0"s, kCompact, Alteration::None, 0, 0.0, false, kRead,
                                 "Read data (C 0' L: 1 D: 24 ECC: 76%)\n #err=0", "\0"s, ""},
                      StatusCase{"NoData", "ABC", kCompact, Alteration::OnlyPadding, 0, 0.0, false, kRead,
                                 "Read data (C 0' L: 1 D: 6 ECC: 94%)\n #err=0", "", ""},
                      StatusCase{"DataBeyondRepair", "ABC", kCompact, Alteration::BreakAllData, 0, 0.0, false, kLocated,
                                 "Detected barcode area (C 0' L: 1 D: 18 ECC: 82%)", "", ""},
                      StatusCase{"ModeMessageBeyondRepair", "ABC", kCompact, Alteration::BreakModeRing, 0, 0.0, false,
                                 kNotFound,
                                 "Aztec code detected. The image quality does not allow for reading the data. "
                                 "(C 0' L: 0 D: 0 ECC: 0%)",
                                 "", ""},
                      StatusCase{"NoFinder", "ABC", kCompact, Alteration::NoFinder, 0, 0.0, false, kNotFound,
                                 "Code has been detected, but this is not Aztec", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
