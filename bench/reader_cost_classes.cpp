#include "reader_cost_classes.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "print_page.h"
#include "reader_worst_cases.h"
#include "support/photo_scene.h"

namespace talavex_bench {

namespace {

CostImage fromReadRate(ReaderSample&& sample) {
    CostImage image;
    Sample& s = sample.sample;
    image.exported = s.hasSymbol ? exportedBytes(sample) : "";
    if (s.hasSymbol) image.text = std::move(s.text);
    image.structCount = sample.structCount;
    image.structPosition = sample.structPosition;
    image.structId = std::move(sample.structId);
    if (s.photo) {
        image.bgra = std::move(s.bgra);
        image.readerTakesBgra = true;
        image.gray = std::move(s.image);
    } else {
        CostImage laid = costImage(std::move(s.image));
        image.gray = std::move(laid.gray);
        image.bgra = std::move(laid.bgra);
    }
    return image;
}

// The catalogue's classes draw in turn; each class keeps its series of
// images and starts it again at index 0.
void addReadRateClasses(const CostPlan& plan, std::vector<CostClass>& classes) {
    auto catalogue = std::make_shared<std::vector<ReadRateClass>>(readRateCatalogue(plan.readRate));
    for (std::size_t k = 0; k < catalogue->size(); ++k) {
        const ReadRateClass& cls = (*catalogue)[k];
        auto series = std::make_shared<std::unique_ptr<ReadRateImages>>();
        auto next = std::make_shared<int>(0);
        classes.push_back({cls.name, cls.count, false, false, [catalogue, k, series, next](int index) {
                               if (index == 0) {
                                   *series = std::make_unique<ReadRateImages>((*catalogue)[k]);
                                   *next = 0;
                               }
                               if (index != *next) throw std::logic_error("read-rate images drawn out of order");
                               ++*next;
                               CostImage image = fromReadRate((*series)->next());
                               image.source = (*series)->source();
                               return image;
                           }});
    }
}

// Gray from BGRA with the weights of Rec. 601; the speed report's colour
// images are gray ones in BGRA, which this gives back exactly.
talavex_test::GrayImage grayOf(const SpeedImage& image) {
    talavex_test::GrayImage gray;
    gray.width = static_cast<int>(image.width);
    gray.height = static_cast<int>(image.height);
    gray.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < gray.pixels.size(); ++i) {
        const std::uint8_t* p = &image.bytes[4 * i];
        gray.pixels[i] = static_cast<std::uint8_t>((29 * p[0] + 150 * p[1] + 77 * p[2] + 128) >> 8);
    }
    return gray;
}

void addSpeedClasses(const CostPlan& plan, std::vector<CostClass>& classes) {
    SpeedPlan speed = plan.speed;
    speed.framesPerClass = 0;  // the read-rate report's frames and photos come from its own seeds
    speed.photosPerClass = 0;
    speed.planes = plan.huge;
    for (SpeedClass& cls : speedClasses(speed)) {
        if (cls.count == 0) continue;
        const bool photo = cls.which == Export::PhotoBGRA;
        auto make = std::move(cls.make);
        const bool worst = cls.name.rfind("worst/", 0) == 0;
        classes.push_back({cls.name, cls.count, cls.isolated, worst, [make, photo](int index) {
                               SpeedImage made = make(index);
                               CostImage image;
                               if (photo) {
                                   image.gray = grayOf(made);
                                   image.bgra = std::move(made.bytes);
                                   image.readerTakesBgra = true;
                                   image.text = image.exported = std::move(made.text);
                               } else {
                                   talavex_test::GrayImage gray;
                                   gray.width = static_cast<int>(made.width);
                                   gray.height = static_cast<int>(made.height);
                                   gray.pixels = std::move(made.bytes);
                                   image = costImage(std::move(gray), std::move(made.text));
                               }
                               image.source = "index " + std::to_string(index);
                               return image;
                           }});
    }
}

// Pages without a symbol: desk clutter (the speed report's empty kind) and
// pages covered with print. The 640 x 480 page is among the worst cases.
void addPrintClasses(const CostPlan& plan, std::vector<CostClass>& classes) {
    static const int sizes[][2] = {{640, 480}, {1280, 720}, {1920, 1080}, {4000, 3000}};
    const std::uint32_t seed = plan.speed.seed;
    for (const bool text : {false, true}) {
        for (const auto& size : sizes) {
            const int w = size[0];
            const int h = size[1];
            const std::string name =
                std::string(text ? "print/text " : "print/clutter ") + std::to_string(w) + "x" + std::to_string(h);
            classes.push_back({name, plan.pages, false, w == 640, [name, w, h, text, seed](int index) {
                                   std::mt19937 rng = imageRng(seed, name, index);
                                   const std::uint32_t pageSeed = rng();
                                   const double density = std::uniform_real_distribution<double>(0.5, 2.5)(rng);
                                   CostImage image =
                                       costImage(text ? printPage(w, h, pageSeed)
                                                      : talavex_test::clutteredPhoto(w, h, pageSeed, density));
                                   image.source = "index " + std::to_string(index);
                                   return image;
                               }});
        }
    }
}

}  // namespace

std::vector<CostClass> costClasses(const CostPlan& plan) {
    std::vector<CostClass> classes;
    addReadRateClasses(plan, classes);
    addSpeedClasses(plan, classes);
    addPrintClasses(plan, classes);
    for (CostClass& cls : readerWorstCases(plan.speed.seed, plan.worst, plan.huge)) classes.push_back(std::move(cls));
    return classes;
}

bool selected(const std::string& name, const std::vector<std::string>& only) {
    if (only.empty()) return true;
    for (const std::string& prefix : only)
        if (name.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace talavex_bench
