// Writes the fuzz targets' seed corpora from real symbols: small images for the
// entry points, mode rings, module matrices with their parameters, and the
// corrected data bits of real messages.
//
//   talavex_make_fuzz_seeds SEED_DIR
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "decode/codeword_correction.h"
#include "decode/layer_bits.h"
#include "decode/mode_message.h"
#include "support/aztec_encoder.h"
#include "support/render.h"

namespace {

namespace fs = std::filesystem;
using talavex_test::AztecSize;
using talavex_test::AztecSymbol;
using Bytes = std::vector<std::uint8_t>;

void writeSeed(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::FILE* f = std::fopen((dir / name).string().c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void appendBitsLsbFirst(Bytes& out, const AztecCore::BitVector& bits) {
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        std::uint8_t byte = 0;
        for (std::size_t k = 0; k < 8 && i + k < bits.size(); ++k) byte |= static_cast<std::uint8_t>(bits[i + k] << k);
        out.push_back(byte);
    }
}

// The ring just outside the finder, clockwise from its top-left corner module.
AztecCore::BitVector modeRing(const AztecSymbol& symbol, bool compact) {
    const int half = compact ? 5 : 7, n = 2 * half, c = symbol.size / 2;
    AztecCore::BitVector ring;
    for (int k = 0; k < n; ++k) ring.push_back(symbol.dark(c - half + k, c - half));
    for (int k = 0; k < n; ++k) ring.push_back(symbol.dark(c + half, c - half + k));
    for (int k = 0; k < n; ++k) ring.push_back(symbol.dark(c + half - k, c + half));
    for (int k = 0; k < n; ++k) ring.push_back(symbol.dark(c - half, c + half - k));
    return ring;
}

AztecCore::ModuleBits moduleBits(const AztecSymbol& symbol) {
    AztecCore::ModuleBits bits(symbol.size, AztecCore::BitVector(symbol.size));
    for (int x = 0; x < symbol.size; ++x)
        for (int y = 0; y < symbol.size; ++y) bits[x][y] = symbol.dark(x, y);
    return bits;
}

// Fuzzer image inputs start with two size bytes: side = lo + byte % (hi - lo + 1).
Bytes imageSeed(const talavex_test::GrayImage& image, int lo, int hi, int bytesPerPixel) {
    Bytes out = {static_cast<std::uint8_t>((image.width - lo) % (hi - lo + 1)),
                 static_cast<std::uint8_t>((image.height - lo) % (hi - lo + 1))};
    for (std::uint8_t p : image.pixels)
        for (int k = 0; k < bytesPerPixel; ++k) out.push_back(k == 3 ? 255 : p);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED_DIR\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    struct Shape {
        AztecSize size;
        int layers;
        const char* text;
    };
    const Shape shapes[] = {{AztecSize::Compact, 1, "A1"},
                            {AztecSize::Compact, 2, "hello, World 42."},
                            {AztecSize::Compact, 4, "\x80\x81 binary \xff"},
                            {AztecSize::Full, 1, "FULL"},
                            {AztecSize::Full, 5, "The quick brown fox: 0123456789!"}};
    int index = 0;
    for (const Shape& shape : shapes) {
        talavex_test::EncodeOptions options;
        options.size = shape.size;
        options.layers = shape.layers;
        const AztecSymbol symbol = talavex_test::encodeAztec(shape.text, options);
        const bool compact = shape.size == AztecSize::Compact;
        const std::string name = "seed" + std::to_string(index++);

        talavex_test::RenderOptions render;
        render.moduleSize = symbol.size <= 23 ? 3.0 : 2.0;
        render.quietZone = 2;
        render.angleDegrees = 10.0 * index;
        const talavex_test::GrayImage image = talavex_test::renderSymbol(symbol, render);
        if (image.width <= 200 && image.height <= 200) {
            writeSeed(root / "recognize_y", name, imageSeed(image, 1, 255, 1));
            writeSeed(root / "recognize_bgra", name, imageSeed(image, 1, 200, 4));
        }
        render.width = render.height = 120;
        writeSeed(root / "recognize_photo", name, imageSeed(talavex_test::renderSymbol(symbol, render), 60, 160, 4));

        Bytes ring = {static_cast<std::uint8_t>(compact ? 1 : 128)};
        appendBitsLsbFirst(ring, modeRing(symbol, compact));
        writeSeed(root / "mode_message", name, ring);

        AztecCore::SymbolParameters params;
        params.kind = compact ? AztecCore::SymbolKind::Compact : AztecCore::SymbolKind::Full;
        if (!AztecCore::parseModeMessage(params, modeRing(symbol, compact))) continue;
        const AztecCore::ModuleBits modules = moduleBits(symbol);
        const int widthIndex = (static_cast<int>(params.codewordBits) - 6) / 2;
        Bytes words = {static_cast<std::uint8_t>(compact ? 1 : 0),
                       static_cast<std::uint8_t>(params.layers - 1),
                       static_cast<std::uint8_t>(params.orientation),
                       static_cast<std::uint8_t>(widthIndex),
                       static_cast<std::uint8_t>((params.dataCodewords - 1) & 0xFF),
                       static_cast<std::uint8_t>((params.dataCodewords - 1) >> 8)};
        AztecCore::BitVector columnMajor;
        for (const auto& column : modules) columnMajor.insert(columnMajor.end(), column.begin(), column.end());
        appendBitsLsbFirst(words, columnMajor);
        writeSeed(root / "codeword_correction", name, words);

        const auto data = AztecCore::correctDataBits(AztecCore::readLayerBits(params, modules), params);
        if (!data) continue;
        Bytes text = {static_cast<std::uint8_t>(data->usedBits & 0xFF), static_cast<std::uint8_t>(data->usedBits >> 8)};
        for (std::size_t i = 0; i < data->bits.size(); i += 8) {
            std::uint8_t byte = 0;
            for (std::size_t k = 0; k < 8 && i + k < data->bits.size(); ++k)
                byte |= static_cast<std::uint8_t>(data->bits[i + k] << (7 - k));
            text.push_back(byte);
        }
        writeSeed(root / "text_decoding", name, text);
    }
    return 0;
}
