#pragma once
// Bounds-checked access to bit vectors. std::vector<bool> hands out proxy
// objects rather than references, so the generic checkedAt cannot serve it.
#include <cstdint>
#include <vector>

#include "common/checked_access.h"

namespace AztecCore {

inline bool bitAt(const std::vector<bool>& bits, std::int64_t index) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= bits.size()) throwInvalidSubscript();
    return bits[static_cast<std::size_t>(index)];
}

inline void setBitAt(std::vector<bool>& bits, std::int64_t index, bool value) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= bits.size()) throwInvalidSubscript();
    bits[static_cast<std::size_t>(index)] = value;
}

}  // namespace AztecCore
