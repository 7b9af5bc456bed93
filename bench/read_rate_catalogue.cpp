#include "read_rate_catalogue.h"

#include <utility>

#include "reader_grain_classes.h"

namespace talavex_bench {

namespace {

ReaderSample plain(Sample sample) {
    ReaderSample out;
    out.sample = std::move(sample);
    return out;
}

// Classes k = 0, 1, ... of a list: image i of class k draws from seed
// first + 1000 k + i.
void addOwn(std::vector<ReadRateClass>& catalogue, const std::vector<ReaderClass>& classes, const char* prefix,
            ReadRateGroup group, int count, std::uint32_t first) {
    for (std::size_t k = 0; k < classes.size(); ++k) {
        const auto seed = first + 1000 * static_cast<std::uint32_t>(k);
        catalogue.push_back({std::string(prefix) + classes[k].name, group, count, seed, true, classes[k].make});
    }
}

}  // namespace

std::vector<ReadRateClass> readRateCatalogue(const ReadRateCounts& counts) {
    std::vector<ReadRateClass> catalogue;
    std::uint32_t classSeed = counts.seed;
    for (const FrameClass& cls : frameClasses()) {
        catalogue.push_back({std::string("frame/") + cls.name, ReadRateGroup::Frames, counts.frames, classSeed++, false,
                             [&cls](std::mt19937& rng) { return plain(makeFrame(cls, rng)); }});
    }
    std::uint32_t photoSeed = counts.seed + 1000;
    for (const PhotoClass& cls : photoClasses()) {
        catalogue.push_back({std::string("photo/") + cls.name, ReadRateGroup::Photos, counts.photos, photoSeed++, false,
                             [&cls](std::mt19937& rng) { return plain(makePhoto(cls, rng)); }});
    }
    addOwn(catalogue, readerClasses(), "reader/", ReadRateGroup::Reader, counts.reader, counts.seed + 2000);
    addOwn(catalogue, grainClasses(), "reader/", ReadRateGroup::Grain, counts.grain, counts.seed + 40000);
    addOwn(catalogue, decoyClasses(), "decoy/", ReadRateGroup::Decoys, counts.decoys, counts.seed + 20000);
    return catalogue;
}

ReaderSample ReadRateImages::next() {
    ++index_;
    if (cls_.seedPerImage) rng_.seed(cls_.seed + static_cast<std::uint32_t>(index_));
    return cls_.make(rng_);
}

std::string ReadRateImages::source() const {
    if (cls_.seedPerImage) return "image seed " + std::to_string(cls_.seed + static_cast<std::uint32_t>(index_));
    return "class seed " + std::to_string(cls_.seed) + " image " + std::to_string(index_);
}

}  // namespace talavex_bench
