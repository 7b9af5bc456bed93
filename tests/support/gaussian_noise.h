#pragma once
// Internal to the render tool: seeded Gaussian noise that is cheap enough for
// full-HD frames. std::normal_distribution spends most of a frame's render time;
// a quantile table driven by 16-bit draws of std::mt19937 costs a fraction of it.
#include <cstdint>
#include <random>

namespace talavex_test::detail {

class GaussianNoise {
public:
    GaussianNoise(double sigma, std::uint32_t seed);
    // The next N(0, sigma) sample; the tails end near 4.3 sigma.
    double operator()() {
        if (haveSpare_) {
            haveSpare_ = false;
            return sigma_ * quantiles_[spare_];
        }
        const auto draw = static_cast<std::uint32_t>(rng_());
        spare_ = draw >> 16;
        haveSpare_ = true;
        return sigma_ * quantiles_[draw & 0xFFFFU];
    }

private:
    double sigma_;
    const double* quantiles_;
    std::mt19937 rng_;
    std::uint32_t spare_ = 0;
    bool haveSpare_ = false;
};

}  // namespace talavex_test::detail
