#pragma once
// The speed report's image classes: the read-rate report's frames and photos
// with a symbol, clean symbols of every size, damaged symbols, empty full-HD
// frames, and the worst cases (8192 x 8192 frames, 2 GiB planes, a
// 12-megapixel photo without a symbol, a series of growing frames). Images are
// made one at a time, when they are timed.
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "speed_library.h"

namespace talavex_bench {

struct SpeedClass {
    std::string name;     // the class's row in the report
    std::string summary;  // the summary row it also counts in; empty: none
    int count = 0;
    Export which = Export::Y;
    // Calls that may take minutes or gigabytes: each runs once, in a child
    // process with a timeout.
    bool isolated = false;
    std::function<SpeedImage(int index)> make;
};

struct SpeedPlan {
    std::uint32_t seed = 20261208;
    int framesPerClass = 20;  // each read-rate frame class
    int photosPerClass = 4;   // each read-rate photo class with a symbol
    int cleanPerSize = 1;     // each of compact 1-4 and full 1-32 layers
    int damaged = 30;
    int emptyPerKind = 8;  // 1920 x 1080: flat, noise, gradient, clutter
    bool worstCases = true;
    bool planes = true;  // the two 2 GiB planes among the worst cases
};

std::vector<SpeedClass> speedClasses(const SpeedPlan& plan);

// The generator image `index` of a class draws from: its own, so that a
// class's images do not depend on how many of them, or of the other classes,
// are made.
std::mt19937 imageRng(std::uint32_t seed, const std::string& className, int index);

// Text-like clutter without a symbol, as a frame (luminance) and as a photo
// (BGRA); the memory figures use them too.
SpeedImage clutterFrame(int width, int height, std::uint32_t seed);
SpeedImage clutterPhoto(int width, int height, std::uint32_t seed);

}  // namespace talavex_bench
