#pragma once
// The code tables of the five Aztec character modes. An entry >= 0 is the
// byte the code stands for; a negative entry is one of the control codes.
#include <array>
#include <cstdint>

namespace AztecCore {

enum class CharMode { Upper, Lower, Mixed, Punct, Digit };

namespace Control {
enum : std::int32_t {
    // Two characters at once.
    CrLf = -49,
    PeriodSpace = -50,
    CommaSpace = -51,
    ColonSpace = -52,
    // Mode changes: latches last until the next one, shifts for one code.
    UpperLatch = -85,
    LowerLatch = -76,
    MixedLatch = -77,
    PunctLatch = -80,
    DigitLatch = -68,
    UpperShift = -117,
    PunctShift = -112,
    BinaryShift = -98,
    // FNC1 or an ECI designator.
    Flag = -70,
};
}  // namespace Control

// Digit codes are 4 bits wide; the other modes use 5.
constexpr std::int32_t codeWidth(CharMode mode) { return mode == CharMode::Digit ? 4 : 5; }

// Entry for `code` in the table of `mode` (Digit only defines codes 0..15).
std::int32_t tableEntry(CharMode mode, std::uint32_t code);

}  // namespace AztecCore
