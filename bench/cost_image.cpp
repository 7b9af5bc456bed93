#include "cost_image.h"

#include <utility>

namespace talavex_bench {

talavex_image CostImage::grayView() const {
    const auto width = static_cast<std::uint32_t>(gray.width);
    return {gray.pixels.data(), width, static_cast<std::uint32_t>(gray.height), width, TALAVEX_GRAY8};
}

talavex_image CostImage::bgraView() const {
    const auto width = static_cast<std::uint32_t>(gray.width);
    return {bgra.data(), width, static_cast<std::uint32_t>(gray.height), 4 * width, TALAVEX_BGRA};
}

CostImage costImage(talavex_test::GrayImage&& gray, std::string text) {
    CostImage image;
    const long long pixels = static_cast<long long>(gray.width) * gray.height;
    if (gray.width >= 64 && gray.height >= 64 && pixels <= 64LL << 20) image.bgra = talavex_test::toBGRA(gray);
    image.gray = std::move(gray);
    image.exported = text;
    image.text = std::move(text);
    return image;
}

}  // namespace talavex_bench
