#pragma once
// The reader's grain classes: a sharp or slightly blurred symbol anywhere in
// a camera frame whose every pixel carries grain, uniform or Gaussian. They
// ask whether the search proposes a symbol in grain whatever its kind; the
// reader read-rate report and the reader-cost report both draw them from here.
#include <vector>

#include "reader_read_rate_classes.h"

namespace talavex_bench {

// grain-uniform, grain-gaussian, grain-uniform-blurred, grain-gaussian-blurred.
const std::vector<ReaderClass>& grainClasses();

}  // namespace talavex_bench
