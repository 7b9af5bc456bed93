#pragma once
// The reader-cost report's classes, in its order: every class of the reader
// read-rate report (its images, drawn from its seeds), the speed report's
// clean, damaged and empty frames and its worst cases, pages of print from
// 640 x 480 to 12 megapixels, and the reader's own worst cases.
#include <cstdint>
#include <string>
#include <vector>

#include "cost_image.h"
#include "read_rate_catalogue.h"
#include "speed_classes.h"

namespace talavex_bench {

struct CostPlan {
    ReadRateCounts readRate;  // images per class of the read-rate report's groups
    SpeedPlan speed;          // clean, damaged, empty and the speed report's worst cases
    int pages = 3;            // each kind and size of page of print
    int worst = 3;            // each of the reader's worst cases
    bool huge = false;        // the 2 GiB images too
};

std::vector<CostClass> costClasses(const CostPlan& plan);

// Whether a class of `name` is among those named by prefix in `only` (all
// when it is empty).
bool selected(const std::string& name, const std::vector<std::string>& only);

}  // namespace talavex_bench
