#pragma once
// Bounds-checked element access shared by every subsystem. An index is
// computed wide and compared with the container's size, so negative indices
// and indices past the end both raise the same std::out_of_range.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace AztecCore {

[[noreturn]] void throwInvalidSubscript();

template <class Container>
inline auto& checkedAt(Container& c, std::int64_t index) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= c.size()) throwInvalidSubscript();
    return c[static_cast<std::size_t>(index)];
}

}  // namespace AztecCore
