#pragma once
// The wrong-read hunt's images: real symbols from libzint with modules
// flipped where a misread does the most harm (the mode-message ring, the data
// layers, both, or so many that the symbol is past repair), and valid
// finders with random data around them. Each image is drawn from its own seed.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/render.h"

namespace talavex_bench {

enum class HuntDamage {
    ModeRing,          // flips among the modules of the mode-message ring
    Data,              // flips among the data layers' modules
    ModeRingAndData,   // both at once
    PastCapacity,      // a quarter to a half of the data modules flipped
    RandomAroundCore,  // the finder and mode ring kept, every other module random
};

struct HuntClass {
    std::string name;
    bool compact = true;
    int layers = 1;
    HuntDamage damage = HuntDamage::ModeRing;
    int minFlips = 1;  // per damaged area, for ModeRing, Data and ModeRingAndData
    int maxFlips = 1;
};

struct HuntImage {
    talavex_test::GrayImage gray;
    std::vector<std::uint8_t> bgra;
    std::string text;       // what the symbol holds
    bool hasSymbol = true;  // false: any read is wrong
};

// Every compact size and several full-range ones, each with every damage.
std::vector<HuntClass> huntClasses();

HuntImage makeHuntImage(const HuntClass& cls, std::mt19937& rng);

}  // namespace talavex_bench
