#include "reedsolomon/generic_gf.h"

#include <algorithm>

#include "common/checked_access.h"
#include "reedsolomon/exceptions.h"
#include "reedsolomon/generic_gf_poly.h"

namespace Aztec::ReedSolomon {

using AztecCore::checkedAt;

GenericGF::GenericGF(std::int32_t primitive, std::int32_t size) : size_(size), primitive_(primitive) { buildTables(); }

GenericGF::~GenericGF() = default;

void GenericGF::ensureTables() const {
    if (!built_) buildTables();
}

void GenericGF::buildTables() const {
    expTable_.assign(static_cast<std::size_t>(size_), 0);
    logTable_.assign(static_cast<std::size_t>(size_), 0);
    std::int32_t x = 1;
    for (std::int32_t i = 0; i < size_; ++i) {
        checkedAt(expTable_, i) = x;
        x <<= 1;
        if (x >= size_) x = (x ^ primitive_) & (size_ - 1);
    }
    // exp wraps to 1 at index size-1; stopping one short keeps log[1] == 0.
    for (std::int32_t i = 0; i < size_ - 1; ++i) checkedAt(logTable_, checkedAt(expTable_, i)) = i;
    zero_ = std::make_unique<GenericGFPoly>(*this, std::vector<std::int32_t>{0});
    one_ = std::make_unique<GenericGFPoly>(*this, std::vector<std::int32_t>{1});
    built_ = true;
}

std::int32_t GenericGF::exp(std::int32_t i) const {
    ensureTables();
    return checkedAt(expTable_, i);
}

std::int32_t GenericGF::log(std::int32_t a) const {
    ensureTables();
    if (a == 0) throw IllegalArgumentException("Log praram is zero");
    return checkedAt(logTable_, a);
}

std::int32_t GenericGF::inverse(std::int32_t a) const {
    ensureTables();
    if (a == 0) throw ArithmeticException("Arithmetic Exception");
    return checkedAt(expTable_, size_ - 1 - checkedAt(logTable_, a));
}

std::int32_t GenericGF::multiplyChecked(std::int32_t a, std::int32_t b) const {
    ensureTables();
    if (a == 0 || b == 0) return 0;
    // s <= 2*size-4, so one fold (s mod size + s div size, which is s - size
    // + 1 from size on) reduces it modulo size-1 into the table, where index
    // size-1 holds alpha^0 again.
    const std::int32_t s = checkedAt(logTable_, a) + checkedAt(logTable_, b);
    return checkedAt(expTable_, s >= size_ ? s - size_ + 1 : s);
}

std::int32_t GenericGF::evaluateWithin(const std::int32_t* coefficients, std::size_t count, std::int32_t a) const {
    ensureTables();
    const std::int32_t* exp = expTable_.data();
    const std::int32_t* log = logTable_.data();
    const std::int32_t logA = log[a];
    std::int32_t result = coefficients[0];
    for (std::size_t i = 1; i < count; ++i) {
        // multiply(a, result) with the same fold into the table.
        if (result != 0) {
            const std::int32_t s = log[result] + logA;
            result = exp[s >= size_ ? s - size_ + 1 : s];
        }
        result ^= coefficients[i];
    }
    return result;
}

void GenericGF::evaluateAtPowersWithin(const std::int32_t* coefficients, std::size_t count, std::int32_t points,
                                       std::int32_t* values) const {
    ensureTables();
    const std::int32_t* exp = expTable_.data();
    const std::int32_t* log = logTable_.data();
    const std::int32_t order = size_ - 1;
    // The term of coefficient c at degree e for point alpha^j is
    // alpha^(log c + j*e); its exponent grows by e from one point to the next.
    struct Term {
        std::int32_t log;
        std::int32_t step;
    };
    std::vector<Term> terms;
    terms.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        if (coefficients[k] == 0) continue;
        const auto degree = static_cast<std::int64_t>(count - 1 - k);
        terms.push_back({log[coefficients[k]], static_cast<std::int32_t>(degree % order)});
    }
    std::fill(values, values + points, 0);
    // Four terms per word, their exponents as 16-bit lanes: every exponent
    // stays below 2 * order < 2^15, so adding 2^15 - order to each lane sets
    // its top bit exactly where the exponent has reached order, and no lane
    // carries into the next.
    std::size_t t = 0;
    if (order < (1 << 14)) {
        constexpr std::uint64_t kLaneOnes = 0x0001000100010001u;
        const std::uint64_t bias = kLaneOnes * static_cast<std::uint64_t>((1 << 15) - order);
        const auto lanes = [&](std::int32_t Term::*field, std::size_t first) {
            std::uint64_t word = 0;
            for (std::size_t k = 0; k < 4; ++k) word |= static_cast<std::uint64_t>(terms[first + k].*field) << (16 * k);
            return word;
        };
        // The next point's four terms of one word.
        const auto advance = [&](std::uint64_t& exponents, std::uint64_t steps) {
            exponents += steps;
            const std::uint64_t reached = ((exponents + bias) >> 15) & kLaneOnes;
            exponents -= reached * static_cast<std::uint64_t>(order);
            return exp[exponents & 0xFFFF] ^ exp[(exponents >> 16) & 0xFFFF] ^ exp[(exponents >> 32) & 0xFFFF] ^
                   exp[exponents >> 48];
        };
        // Four words per pass: each word's update is a chain through a
        // multiply, and independent chains overlap.
        constexpr std::size_t kWords = 4;
        for (; t + 4 * kWords <= terms.size(); t += 4 * kWords) {
            std::uint64_t exponents[kWords];
            std::uint64_t steps[kWords];
            for (std::size_t w = 0; w < kWords; ++w) {
                exponents[w] = lanes(&Term::log, t + 4 * w);
                steps[w] = lanes(&Term::step, t + 4 * w);
            }
            for (std::int32_t j = 0; j < points; ++j) {
                std::int32_t sum = 0;
                for (std::size_t w = 0; w < kWords; ++w) sum ^= advance(exponents[w], steps[w]);
                values[j] ^= sum;
            }
        }
        for (; t + 4 <= terms.size(); t += 4) {
            std::uint64_t exponents = lanes(&Term::log, t);
            const std::uint64_t steps = lanes(&Term::step, t);
            for (std::int32_t j = 0; j < points; ++j) values[j] ^= advance(exponents, steps);
        }
    }
    for (; t < terms.size(); ++t) {
        std::int32_t exponent = terms[t].log;
        const std::int32_t step = terms[t].step;
        for (std::int32_t j = 0; j < points; ++j) {
            exponent += step;
            exponent -= exponent >= order ? order : 0;
            values[j] ^= exp[exponent];
        }
    }
}

GenericGFPoly GenericGF::monomial(std::int32_t degree, std::int32_t coefficient) const {
    ensureTables();
    if (degree < 0) throw IllegalArgumentException("degree < 0");
    if (coefficient == 0) return *zero_;
    std::vector<std::int32_t> coefficients(static_cast<std::size_t>(degree) + 1, 0);
    coefficients[0] = coefficient;
    return GenericGFPoly(*this, std::move(coefficients));
}

const GenericGFPoly& GenericGF::zero() const {
    ensureTables();
    return *zero_;
}

const GenericGFPoly& GenericGF::one() const {
    ensureTables();
    return *one_;
}

std::int32_t GenericGF::size() const {
    ensureTables();
    return size_;
}

// All five live in this one file so that they are built in this order.
const GenericGF Field4096(0x1069, 4096);
const GenericGF Field1024(0x409, 1024);
const GenericGF Field256(0x12D, 256);
const GenericGF Field64(0x43, 64);
const GenericGF Field16(0x13, 16);

}  // namespace Aztec::ReedSolomon
