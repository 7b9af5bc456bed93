#pragma once
// Diagnostic only: the number of codewords repaired by the most recent data
// correction in this process. Concurrent calls may overwrite each other's
// value, which only affects status texts.
#include <atomic>
#include <cstdint>

namespace AztecCore {

extern std::atomic<std::int32_t> lastErrorCount;

}  // namespace AztecCore
