// Baseline-JPEG round trip of a gray image, for tests that want the blocking
// and ringing a camera's compression leaves on a symbol. Only the lossy steps
// matter here (transform, quantisation, rounding), so no entropy coding.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "support/gray_level.h"
#include "support/render.h"

namespace talavex_test {
namespace {

constexpr int kBlock = 8;
constexpr double kPi = 3.14159265358979323846;

using Block = std::array<double, kBlock * kBlock>;

// The luminance table that encoders scale for their quality setting, row-major.
constexpr std::array<int, kBlock* kBlock> kLuminanceTable = {16, 11, 10, 16, 24,  40,  51,  61,   //
                                                             12, 12, 14, 19, 26,  58,  60,  55,   //
                                                             14, 13, 16, 24, 40,  57,  69,  56,   //
                                                             14, 17, 22, 29, 51,  87,  80,  62,   //
                                                             18, 22, 37, 56, 68,  109, 103, 77,   //
                                                             24, 35, 55, 64, 81,  104, 113, 92,   //
                                                             49, 64, 78, 87, 103, 121, 120, 101,  //
                                                             72, 92, 95, 98, 112, 100, 103, 99};

// libjpeg's quality scaling; divisors stay within 1..255 as in baseline files.
std::array<int, kBlock * kBlock> quantisationTable(int quality) {
    quality = std::clamp(quality, 1, 100);
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    std::array<int, kBlock * kBlock> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = std::clamp((kLuminanceTable[i] * scale + 50) / 100, 1, 255);
    }
    return table;
}

// Orthonormal DCT-II basis: basis[u][x] = c(u) / 2 * cos((2x + 1) u pi / 16).
const std::array<std::array<double, kBlock>, kBlock>& dctBasis() {
    static const auto basis = [] {
        std::array<std::array<double, kBlock>, kBlock> b{};
        for (int u = 0; u < kBlock; ++u) {
            const double c = u == 0 ? std::sqrt(0.5) : 1.0;
            for (int x = 0; x < kBlock; ++x) {
                b[u][x] = 0.5 * c * std::cos((2 * x + 1) * u * kPi / (2.0 * kBlock));
            }
        }
        return b;
    }();
    return basis;
}

// out = B * in * B^T when `forward`, B^T * in * B otherwise (B the basis).
Block transform(const Block& in, bool forward) {
    const auto& b = dctBasis();
    auto coef = [&](int i, int j) { return forward ? b[i][j] : b[j][i]; };
    Block rows{};
    for (int y = 0; y < kBlock; ++y) {
        for (int u = 0; u < kBlock; ++u) {
            double sum = 0.0;
            for (int x = 0; x < kBlock; ++x) sum += coef(u, x) * in[y * kBlock + x];
            rows[y * kBlock + u] = sum;
        }
    }
    Block out{};
    for (int u = 0; u < kBlock; ++u) {
        for (int v = 0; v < kBlock; ++v) {
            double sum = 0.0;
            for (int y = 0; y < kBlock; ++y) sum += coef(v, y) * rows[y * kBlock + u];
            out[v * kBlock + u] = sum;
        }
    }
    return out;
}

}  // namespace

void jpegDegrade(GrayImage& image, int quality) {
    if (image.width <= 0 || image.height <= 0) return;
    const auto table = quantisationTable(quality);
    for (int by = 0; by < image.height; by += kBlock) {
        for (int bx = 0; bx < image.width; bx += kBlock) {
            // Level-shifted samples; the part beyond the image repeats its last row and column.
            Block samples{};
            for (int y = 0; y < kBlock; ++y) {
                const int sy = std::min(by + y, image.height - 1);
                for (int x = 0; x < kBlock; ++x) {
                    const int sx = std::min(bx + x, image.width - 1);
                    samples[y * kBlock + x] = image.at(sx, sy) - 128.0;
                }
            }
            Block coefficients = transform(samples, true);
            for (std::size_t i = 0; i < coefficients.size(); ++i) {
                coefficients[i] = std::round(coefficients[i] / table[i]) * table[i];
            }
            const Block restored = transform(coefficients, false);
            for (int y = 0; y < kBlock && by + y < image.height; ++y) {
                for (int x = 0; x < kBlock && bx + x < image.width; ++x) {
                    image.pixels[static_cast<std::size_t>(by + y) * image.width + bx + x] =
                        detail::toGrayLevel(restored[y * kBlock + x] + 128.0);
                }
            }
        }
    }
}

}  // namespace talavex_test
