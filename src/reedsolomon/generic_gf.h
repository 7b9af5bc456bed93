#pragma once
// Arithmetic in GF(2^m), with elements as plain ints whose bits are the
// coefficients of a polynomial over GF(2). Multiplication goes through
// exponent/logarithm tables; alpha is the element 2.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Aztec::ReedSolomon {

class GenericGFPoly;

class GenericGF {
public:
    // `primitive` is the bit mask of a primitive polynomial of degree m, with
    // `size` == 2^m. The tables are built right away.
    GenericGF(std::int32_t primitive, std::int32_t size);
    ~GenericGF();

    // Polynomials keep a pointer to their field, so a field never moves.
    GenericGF(const GenericGF&) = delete;
    GenericGF& operator=(const GenericGF&) = delete;

    std::int32_t exp(std::int32_t i) const;
    std::int32_t log(std::int32_t a) const;
    std::int32_t inverse(std::int32_t a) const;
    // Inline for two elements, the case of every product the decoder forms;
    // anything else (or a field whose tables are not built yet) takes the
    // checked path, which fails, or not, as it always has.
    std::int32_t multiply(std::int32_t a, std::int32_t b) const {
        const auto bound = static_cast<std::uint32_t>(size_);
        if (!built_ || static_cast<std::uint32_t>(a) >= bound || static_cast<std::uint32_t>(b) >= bound)
            return multiplyChecked(a, b);
        if (a == 0 || b == 0) return 0;
        const std::int32_t s = logTable_[static_cast<std::size_t>(a)] + logTable_[static_cast<std::size_t>(b)];
        return expTable_[static_cast<std::size_t>(s >= size_ ? s - size_ + 1 : s)];
    }
    GenericGFPoly monomial(std::int32_t degree, std::int32_t coefficient) const;
    // Horner's rule for the polynomial with `count` coefficients (highest
    // degree first) at a, in the log domain over the tables without checks:
    // a must be a non-zero element and every coefficient an element.
    std::int32_t evaluateWithin(const std::int32_t* coefficients, std::size_t count, std::int32_t a) const;
    // The same polynomial at alpha^1 .. alpha^points, into values[0 .. points-1]:
    // each coefficient adds one term per point, so the points are independent
    // sums rather than one Horner chain each. Every coefficient must be an
    // element and points at most size - 1.
    void evaluateAtPowersWithin(const std::int32_t* coefficients, std::size_t count, std::int32_t points,
                                std::int32_t* values) const;

    const GenericGFPoly& zero() const;
    const GenericGFPoly& one() const;
    std::int32_t size() const;

private:
    // Rebuilds lazily should a field ever be used before its tables exist;
    // the static fields are built during start-up, so this does not fire.
    void ensureTables() const;
    void buildTables() const;
    std::int32_t multiplyChecked(std::int32_t a, std::int32_t b) const;

    mutable std::unique_ptr<GenericGFPoly> zero_;
    mutable std::unique_ptr<GenericGFPoly> one_;
    mutable std::vector<std::int32_t> expTable_;
    mutable std::vector<std::int32_t> logTable_;
    std::int32_t size_;
    std::int32_t primitive_;
    mutable bool built_ = false;
};

// The library's fields: 4-bit words of the mode message and the 6-, 8-, 10-
// and 12-bit data codewords.
extern const GenericGF Field16;
extern const GenericGF Field64;
extern const GenericGF Field256;
extern const GenericGF Field1024;
extern const GenericGF Field4096;

}  // namespace Aztec::ReedSolomon
