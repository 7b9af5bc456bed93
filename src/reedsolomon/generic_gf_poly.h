#pragma once
// Immutable polynomial over a GenericGF, coefficients highest degree first.
// The list is never empty and has no leading zero, except for the zero
// polynomial itself, which is exactly [0].
#include <cstdint>
#include <vector>

namespace Aztec::ReedSolomon {

class GenericGF;

class GenericGFPoly {
public:
    GenericGFPoly(const GenericGF& field, std::vector<std::int32_t> coefficients);

    const GenericGF& field() const { return *field_; }
    const std::vector<std::int32_t>& coefficients() const { return coefficients_; }

    std::int32_t degree() const;
    std::int32_t coefficientOf(std::int32_t degree) const;
    bool isZero() const;
    std::int32_t valueAt(std::int32_t a) const;

    GenericGFPoly add(const GenericGFPoly& other) const;
    GenericGFPoly multiply(const GenericGFPoly& other) const;
    GenericGFPoly scale(std::int32_t c) const;
    GenericGFPoly multiplyTerm(std::int32_t degree, std::int32_t c) const;

private:
    void requireSameField(const GenericGFPoly& other) const;

    const GenericGF* field_;
    std::vector<std::int32_t> coefficients_;
};

}  // namespace Aztec::ReedSolomon
