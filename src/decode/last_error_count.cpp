#include "decode/last_error_count.h"

namespace AztecCore {

std::atomic<std::int32_t> lastErrorCount{0};

}  // namespace AztecCore
