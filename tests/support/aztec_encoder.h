#pragma once
// Test tool: encodes Aztec Code symbols with libzint and returns their module
// matrix. Used by every end-to-end test to produce real symbols.
#include <cstdint>
#include <string>
#include <vector>

namespace talavex_test {

enum class AztecSize { Auto, Compact, Full };

struct EncodeOptions {
    AztecSize size = AztecSize::Auto;
    int layers = 0;    // 0: smallest that fits; else 1..4 compact, 1..32 full-range
    int eccLevel = 0;  // 0: zint's default; 1..4 = 10%, 23%, 36%, 50% check words
    bool gs1 = false;  // data is GS1 text with AIs in [brackets]
    int eci = 0;       // 0: none; else the ECI designator to put in the symbol
    // Structured append: position 1..count in a sequence of count >= 2
    // symbols (0: none), with an optional ID of printable ASCII without spaces.
    int structIndex = 0;
    int structCount = 0;
    std::string structId = "";
    bool readerInit = false;  // mark the symbol as reader programming
};

struct AztecSymbol {
    int size = 0;                       // side in modules
    std::vector<std::uint8_t> modules;  // row-major, size * size, 1 = dark
    bool dark(int x, int y) const { return modules[static_cast<std::size_t>(y) * size + x] != 0; }
};

// Notes on the options:
// - layers > 0 needs size Compact or Full. With size Compact or Full and
//   layers 0 the smallest symbol of that kind that holds the data is used.
// - zint honours eccLevel only when it picks the size itself (size Auto);
//   for a forced kind or layer count the room the data leaves is filled with
//   check words (zint insists on a few).
// - Without gs1 the bytes are taken as they are (zero bytes and bytes > 127
//   included); empty data is refused by zint.
// Throws std::runtime_error with zint's message when the data cannot be encoded
// (and with a message of its own for inconsistent options).
AztecSymbol encodeAztec(const std::vector<std::uint8_t>& data, const EncodeOptions& options = {});
AztecSymbol encodeAztec(const std::string& data, const EncodeOptions& options = {});
// An Aztec Rune (11 x 11 modules) holding `value`, 0..255.
AztecSymbol encodeAztecRune(int value);

}  // namespace talavex_test
