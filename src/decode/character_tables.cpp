#include "decode/character_tables.h"

#include "common/checked_access.h"

namespace AztecCore {

namespace {

using namespace Control;
using Table = std::array<std::int32_t, 32>;

constexpr Table kUpper = {PunctShift, ' ', 'A', 'B', 'C', 'D', 'E',        'F',        'G',        'H',        'I',
                          'J',        'K', 'L', 'M', 'N', 'O', 'P',        'Q',        'R',        'S',        'T',
                          'U',        'V', 'W', 'X', 'Y', 'Z', LowerLatch, MixedLatch, DigitLatch, BinaryShift};

constexpr Table kLower = {PunctShift, ' ', 'a', 'b', 'c', 'd', 'e',        'f',        'g',        'h',        'i',
                          'j',        'k', 'l', 'm', 'n', 'o', 'p',        'q',        'r',        's',        't',
                          'u',        'v', 'w', 'x', 'y', 'z', UpperShift, MixedLatch, DigitLatch, BinaryShift};

constexpr Table kMixed = {PunctShift, ' ', 1,   2,   3,   4,   5,          6,          7,          8,          9,
                          10,         11,  12,  13,  27,  28,  29,         30,         31,         '@',        '\\',
                          '^',        '_', '`', '|', '~', 127, LowerLatch, UpperLatch, PunctLatch, BinaryShift};

constexpr Table kPunct = {Flag, 13,   CrLf, PeriodSpace, CommaSpace, ColonSpace, '!', '"', '#', '$',       '%',
                          '&',  '\'', '(',  ')',         '*',        '+',        ',', '-', '.', '/',       ':',
                          ';',  '<',  '=',  '>',         '?',        '[',        ']', '{', '}', UpperLatch};

constexpr std::array<std::int32_t, 16> kDigit = {PunctShift, ' ', '0', '1', '2', '3', '4',        '5',
                                                 '6',        '7', '8', '9', ',', '.', UpperLatch, UpperShift};

}  // namespace

std::int32_t tableEntry(CharMode mode, std::uint32_t code) {
    switch (mode) {
        case CharMode::Upper: return checkedAt(kUpper, code);
        case CharMode::Lower: return checkedAt(kLower, code);
        case CharMode::Mixed: return checkedAt(kMixed, code);
        case CharMode::Punct: return checkedAt(kPunct, code);
        default: return checkedAt(kDigit, code);
    }
}

}  // namespace AztecCore
