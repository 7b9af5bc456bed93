#pragma once
// The code tables of the five Aztec character modes. An entry >= 0 is the
// byte the code stands for; a negative entry is one of the control codes.
#include <array>
#include <cstdint>

namespace AztecCore {

enum class CharMode { Upper, Lower, Mixed, Punct, Digit };

namespace Control {
constexpr std::int32_t CrLf = -49;
constexpr std::int32_t PeriodSpace = -50;
constexpr std::int32_t CommaSpace = -51;
constexpr std::int32_t ColonSpace = -52;
constexpr std::int32_t DigitLatch = -68;
constexpr std::int32_t Flag = -70;
constexpr std::int32_t LowerLatch = -76;
constexpr std::int32_t MixedLatch = -77;
constexpr std::int32_t PunctLatch = -80;
constexpr std::int32_t UpperLatch = -85;
constexpr std::int32_t BinaryShift = -98;
constexpr std::int32_t PunctShift = -112;
constexpr std::int32_t UpperShift = -117;
}  // namespace Control

// Digit codes are 4 bits wide; the other modes use 5.
constexpr std::int32_t codeWidth(CharMode mode) { return mode == CharMode::Digit ? 4 : 5; }

// Entry for `code` in the table of `mode` (Digit only defines codes 0..15).
std::int32_t tableEntry(CharMode mode, std::uint32_t code);

}  // namespace AztecCore
