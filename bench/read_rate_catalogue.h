#pragma once
// The reader read-rate report's images, class by class in the report's
// order, each drawn from the seeds the report uses: the exports' frame and
// photo classes (one generator per class, images in turn), then the reader's
// own classes, the grain classes and the decoys (one generator per image).
// The reader-cost report times the same images, so that a class's read rate
// and its cost can be set side by side.
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "reader_read_rate_classes.h"

namespace talavex_bench {

enum class ReadRateGroup { Frames, Photos, Reader, Grain, Decoys };

struct ReadRateCounts {
    int frames = 30;  // images per class of each group
    int photos = 10;
    int reader = 20;
    int grain = 20;
    int decoys = 40;
    std::uint32_t seed = 20261208;
};

struct ReadRateClass {
    std::string name;  // "frame/clean", "reader/rune", ...
    ReadRateGroup group;
    int count = 0;
    std::uint32_t seed = 0;     // the class's generator, or the first image's
    bool seedPerImage = false;  // image i draws from its own generator, seeded seed + i
    std::function<ReaderSample(std::mt19937&)> make;
};

std::vector<ReadRateClass> readRateCatalogue(const ReadRateCounts& counts);

// The images of one class in order, drawn one at a time.
class ReadRateImages {
public:
    explicit ReadRateImages(const ReadRateClass& cls) : cls_(cls), rng_(cls.seed) {}
    ReaderSample next();
    // Where the image last drawn comes from, so that it can be drawn again:
    // "class seed S image I" or "image seed S".
    std::string source() const;

private:
    const ReadRateClass& cls_;
    std::mt19937 rng_;
    int index_ = -1;
};

}  // namespace talavex_bench
