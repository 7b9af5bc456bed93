#pragma once
// The golden check's images: a fixed, seeded catalogue made on demand, so a
// subset costs only the images it takes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/render.h"

namespace talavex_bench {

struct GoldenEntry {
    std::string key;    // group and index, e.g. "frame/clean/0003"
    std::string group;  // e.g. "frame/clean"
    std::function<talavex_test::GrayImage()> make;
};

// Every entry, in the golden file's order. Each image draws from its own
// generator seeded by (seed, group, index), so it does not depend on which
// other images are made.
std::vector<GoldenEntry> goldenCatalogue(std::uint32_t seed);

}  // namespace talavex_bench
