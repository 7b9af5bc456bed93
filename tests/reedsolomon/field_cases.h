#pragma once
// The library's five fields with their defining constants, and an arithmetic
// that does not use the tables, to check the tables against.
#include <cstdint>

#include "reedsolomon/generic_gf.h"

namespace rstest {

struct FieldCase {
    const char* name;
    const Aztec::ReedSolomon::GenericGF* field;
    std::int32_t primitive;
    std::int32_t size;
};

inline const FieldCase kFieldCases[] = {
    {"GF16", &Aztec::ReedSolomon::Field16, 0x13, 16},         {"GF64", &Aztec::ReedSolomon::Field64, 0x43, 64},
    {"GF256", &Aztec::ReedSolomon::Field256, 0x12D, 256},     {"GF1024", &Aztec::ReedSolomon::Field1024, 0x409, 1024},
    {"GF4096", &Aztec::ReedSolomon::Field4096, 0x1069, 4096},
};

// Carry-less shift-and-add multiplication reduced by the primitive polynomial.
inline std::int32_t slowMultiply(std::int32_t a, std::int32_t b, std::int32_t primitive, std::int32_t size) {
    std::int32_t result = 0;
    while (b != 0) {
        if (b & 1) result ^= a;
        b >>= 1;
        a <<= 1;
        if (a & size) a ^= primitive;
    }
    return result;
}

inline std::int32_t slowPower(std::int32_t a, std::int32_t n, std::int32_t primitive, std::int32_t size) {
    std::int32_t result = 1;
    for (std::int32_t i = 0; i < n; ++i) result = slowMultiply(result, a, primitive, size);
    return result;
}

}  // namespace rstest
