#pragma once
// Systematic Reed-Solomon encoder for the decoder's tests: the generator has
// the roots alpha^1 .. alpha^twoS, the check words follow the data words.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "reedsolomon/generic_gf.h"

namespace rstest {

using Aztec::ReedSolomon::GenericGF;

// Generator coefficients, highest degree first (leading 1).
inline std::vector<std::int32_t> generatorPolynomial(const GenericGF& field, int twoS) {
    std::vector<std::int32_t> g{1};
    for (int i = 1; i <= twoS; ++i) {
        // g *= (x - alpha^i); minus is plus in characteristic 2.
        const std::int32_t root = field.exp(i);
        std::vector<std::int32_t> next(g.size() + 1, 0);
        for (std::size_t k = 0; k < g.size(); ++k) {
            next[k] ^= g[k];
            next[k + 1] ^= field.multiply(g[k], root);
        }
        g = std::move(next);
    }
    return g;
}

// Returns data followed by the remainder of data(x)*x^twoS divided by g(x).
inline std::vector<std::int32_t> encode(const GenericGF& field, const std::vector<std::int32_t>& data, int twoS) {
    const std::vector<std::int32_t> g = generatorPolynomial(field, twoS);
    std::vector<std::int32_t> work(data);
    work.resize(data.size() + static_cast<std::size_t>(twoS), 0);
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::int32_t factor = work[i];
        if (factor == 0) continue;
        for (std::size_t k = 0; k < g.size(); ++k) work[i + k] ^= field.multiply(g[k], factor);
    }
    std::vector<std::int32_t> codeword(data);
    codeword.insert(codeword.end(), work.begin() + static_cast<std::ptrdiff_t>(data.size()), work.end());
    return codeword;
}

// Value of the word (first element = highest power) at x, by plain Horner.
inline std::int32_t evaluate(const GenericGF& field, const std::vector<std::int32_t>& word, std::int32_t x) {
    std::int32_t r = 0;
    for (std::int32_t c : word) r = field.multiply(r, x) ^ c;
    return r;
}

inline bool isCodeword(const GenericGF& field, const std::vector<std::int32_t>& word, int twoS) {
    for (int i = 1; i <= twoS; ++i) {
        if (evaluate(field, word, field.exp(i)) != 0) return false;
    }
    return true;
}

}  // namespace rstest
