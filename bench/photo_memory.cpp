// Peak memory of the photo pass on a 4032x3024 photo: the rise of the
// process's resident high-water mark across one recognizePhotoBGRA call, with
// the input photo already in memory. Each scenario runs in its own process so
// that one high-water mark does not hide the next.
//
//   talavex_photo_memory            all scenarios
//   talavex_photo_memory SCENARIO   one of: no-symbol, symbol
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/photo_scene.h"
#include "talavex/talavex.h"

namespace {

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

talavex_test::GrayImage scenario(const std::string& name) {
    talavex_test::PhotoScene scene;
    scene.width = 4032;
    scene.height = 3024;
    scene.backgroundSeed = 31;
    if (name == "no-symbol") return talavex_test::composePhoto(nullptr, scene);
    scene.centreX = 2900;
    scene.centreY = 800;
    scene.render.moduleSize = 6.0;
    scene.render.angleDegrees = 12.0;
    const auto symbol = talavex_test::encodeAztec(std::string(300, 'M'));
    return talavex_test::composePhoto(&symbol, scene);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        for (const char* name : {"no-symbol", "symbol"}) {
            const std::string command = std::string(argv[0]) + " " + name;
            if (std::system(command.c_str()) != 0) return 1;
        }
        return 0;
    }
    const talavex_test::GrayImage photo = scenario(argv[1]);
    const std::vector<std::uint8_t> bgra = talavex_test::toBGRA(photo);
    const long before = peakKiB();
    char* text = recognizePhotoBGRA(bgra.data(), photo.width, photo.height);
    const long after = peakKiB();
    std::printf("%-10s %dx%d  input %.1f MiB  peak rise during the photo pass %.1f MiB  result %zu bytes\n", argv[1],
                photo.width, photo.height, bgra.size() / 1048576.0, (after - before) / 1024.0,
                text ? std::strlen(text) : 0);
    std::free(text);
    return 0;
}
