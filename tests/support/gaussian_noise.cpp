#include "support/gaussian_noise.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace talavex_test::detail {
namespace {

constexpr int kTableBits = 16;
constexpr std::size_t kTableSize = std::size_t{1} << kTableBits;

double normalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// Standard-normal quantiles at the centres of kTableSize equal-probability bins,
// found by Newton steps from the previous entry.
std::vector<double> makeQuantiles() {
    std::vector<double> table(kTableSize);
    const double rootTwoPi = std::sqrt(2.0 * 3.14159265358979323846);
    double x = -4.5;
    for (std::size_t i = 0; i < kTableSize; ++i) {
        const double p = (static_cast<double>(i) + 0.5) / static_cast<double>(kTableSize);
        for (int step = 0; step < 30; ++step) {
            const double density = std::exp(-0.5 * x * x) / rootTwoPi;
            const double delta = (normalCdf(x) - p) / density;
            x -= delta;
            if (std::fabs(delta) < 1e-12) {
                break;
            }
        }
        table[i] = x;
    }
    return table;
}

const std::vector<double>& quantiles() {
    static const std::vector<double> table = makeQuantiles();
    return table;
}

}  // namespace

GaussianNoise::GaussianNoise(double sigma, std::uint32_t seed)
    : sigma_(sigma), quantiles_(quantiles().data()), rng_(seed) {}

}  // namespace talavex_test::detail
