#pragma once
// The ISO-8859 character sets, parts 1 to 16 (12 was never published).
#include <cstdint>
#include <optional>

namespace AztecCore::Reader {

// The Unicode code point of `byte` in ISO-8859-`part`; none for a byte the
// part leaves unassigned or a part that does not exist.
std::optional<char32_t> iso8859CodePoint(std::uint32_t part, std::uint8_t byte);

}  // namespace AztecCore::Reader
