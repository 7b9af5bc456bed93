#pragma once
// The five character modes of Aztec Code (Upper, Lower, Mixed, Punct, Digit),
// their latches and shifts, binary shift and FLG(n).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "decode/symbol_parameters.h"

namespace AztecCore {

// An ECI designator and the byte offset from which it applies.
struct EciMark {
    std::uint32_t designator = 0;
    std::size_t offset = 0;
};

// Where the message's FNC1 stands: nowhere, before the first character (GS1)
// or after an initial letter or digit pair (AIM application identifier).
enum class Fnc1Position : std::uint8_t { None, First, Second };

// The bytes and what the message's flags said about them.
struct DecodedText {
    std::vector<std::uint8_t> bytes;
    std::vector<EciMark> ecis;
    Fnc1Position fnc1 = Fnc1Position::None;
    // The message opened with M/L U/L, the no-op latch pair that announces a
    // structured-append header at the start of the bytes.
    bool structuredAppendMark = false;
};

// Decodes the first bitCount bits of `bits` (all of them when bitCount exceeds
// the size); the 1 bits that pad the end are not data. No result when the data
// is invalid: a reserved FLG(7), or an ECI designator digit outside 0..9.
std::optional<DecodedText> decodeTextWithFlags(const BitVector& bits, std::size_t bitCount);

}  // namespace AztecCore
