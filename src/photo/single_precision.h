#pragma once
// The photo preprocessing is defined in single-precision arithmetic. x87 code
// (32-bit x86) may keep float intermediates in 80 bits, which would move
// edges and scales by a sample at exact ties; storing through a volatile
// float forces the rounding on every platform.
namespace AztecCore {

inline float roundToFloat(float value) {
    volatile float stored = value;
    return stored;
}

}  // namespace AztecCore
