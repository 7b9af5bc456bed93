#include "support/aztec_encoder.h"

#include <zint.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace talavex_test {
namespace {

struct ZintDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
using ZintSymbol = std::unique_ptr<zint_symbol, ZintDeleter>;

constexpr int kMaxCompactLayers = 4;
constexpr int kMaxFullLayers = 32;

// zint's size option: 1..4 select compact symbols, 5..36 full-range ones.
int zintSizeOption(AztecSize size, int layers) {
    if (layers == 0) {
        return 0;
    }
    return size == AztecSize::Compact ? layers : kMaxCompactLayers + layers;
}

void checkOptions(const EncodeOptions& options) {
    if (options.layers < 0) {
        throw std::runtime_error("negative Aztec layer count");
    }
    if (options.layers > 0 && options.size == AztecSize::Auto) {
        throw std::runtime_error("an Aztec layer count needs AztecSize::Compact or AztecSize::Full");
    }
    if (options.size == AztecSize::Compact && options.layers > kMaxCompactLayers) {
        throw std::runtime_error("compact Aztec symbols have 1 to 4 layers");
    }
    if (options.size == AztecSize::Full && options.layers > kMaxFullLayers) {
        throw std::runtime_error("full-range Aztec symbols have 1 to 32 layers");
    }
    if (options.eccLevel < 0 || options.eccLevel > 4) {
        throw std::runtime_error("Aztec error-correction level must be 0 to 4");
    }
    if (options.eci < 0) {
        throw std::runtime_error("negative ECI designator");
    }
}

// zint's module matrix of an encoded Aztec symbol or rune.
AztecSymbol moduleMatrix(const zint_symbol& symbol) {
    if (symbol.rows != symbol.width || symbol.rows <= 0) {
        throw std::runtime_error("zint produced a non-square Aztec symbol");
    }
    AztecSymbol result;
    result.size = symbol.rows;
    result.modules.resize(static_cast<std::size_t>(result.size) * result.size);
    for (int y = 0; y < result.size; ++y) {
        for (int x = 0; x < result.size; ++x) {
            // zint packs each row least significant bit first.
            const unsigned bits = symbol.encoded_data[y][x >> 3];
            result.modules[static_cast<std::size_t>(y) * result.size + x] =
                static_cast<std::uint8_t>((bits >> (x & 7)) & 1U);
        }
    }
    return result;
}

ZintSymbol newSymbol(int symbology) {
    ZintSymbol symbol(ZBarcode_Create());
    if (!symbol) {
        throw std::runtime_error("zint could not allocate a symbol");
    }
    symbol->symbology = symbology;
    return symbol;
}

// One zint run with a fixed size option; throws with zint's own message on failure.
AztecSymbol encodeOnce(const std::uint8_t* data, int length, const EncodeOptions& options, int sizeOption) {
    ZintSymbol symbol = newSymbol(BARCODE_AZTEC);
    symbol->input_mode = options.gs1 ? GS1_MODE : DATA_MODE;
    symbol->option_1 = options.eccLevel == 0 ? -1 : options.eccLevel;
    symbol->option_2 = sizeOption;
    symbol->eci = options.eci;
    if (options.readerInit) symbol->output_options |= READER_INIT;
    if (options.structCount != 0) {
        symbol->structapp.index = options.structIndex;
        symbol->structapp.count = options.structCount;
        options.structId.copy(symbol->structapp.id, sizeof symbol->structapp.id - 1);
    }

    const int rc = ZBarcode_Encode(symbol.get(), data, length);
    if (rc >= ZINT_ERROR) {
        throw std::runtime_error(std::string("zint: ") + symbol->errtxt);
    }
    return moduleMatrix(*symbol);
}

}  // namespace

AztecSymbol encodeAztec(const std::vector<std::uint8_t>& data, const EncodeOptions& options) {
    checkOptions(options);
    const int length = static_cast<int>(data.size());
    // zint rejects a null source even for empty input.
    static const std::uint8_t kEmpty = 0;
    const std::uint8_t* bytes = data.empty() ? &kEmpty : data.data();

    if (options.size == AztecSize::Auto || options.layers != 0) {
        return encodeOnce(bytes, length, options, zintSizeOption(options.size, options.layers));
    }
    // zint's own automatic choice may switch between compact and full-range,
    // so a forced kind searches its layer counts from the smallest upward.
    const int maxLayers = options.size == AztecSize::Compact ? kMaxCompactLayers : kMaxFullLayers;
    std::string lastError;
    for (int layers = 1; layers <= maxLayers; ++layers) {
        try {
            return encodeOnce(bytes, length, options, zintSizeOption(options.size, layers));
        } catch (const std::runtime_error& e) {
            lastError = e.what();
        }
    }
    throw std::runtime_error(lastError);
}

AztecSymbol encodeAztec(const std::string& data, const EncodeOptions& options) {
    return encodeAztec(std::vector<std::uint8_t>(data.begin(), data.end()), options);
}

AztecSymbol encodeAztecRune(int value) {
    if (value < 0 || value > 255) throw std::runtime_error("an Aztec Rune holds 0 to 255");
    ZintSymbol symbol = newSymbol(BARCODE_AZRUNE);
    const std::string digits = std::to_string(value);
    const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(digits.data()),
                                   static_cast<int>(digits.size()));
    if (rc >= ZINT_ERROR) throw std::runtime_error(std::string("zint: ") + symbol->errtxt);
    return moduleMatrix(*symbol);
}

}  // namespace talavex_test
