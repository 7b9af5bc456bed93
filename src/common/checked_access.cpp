#include "common/checked_access.h"

namespace AztecCore {

void throwInvalidSubscript() { throw std::out_of_range("invalid vector<T> subscript"); }

}  // namespace AztecCore
