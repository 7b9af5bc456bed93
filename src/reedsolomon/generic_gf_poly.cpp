#include "reedsolomon/generic_gf_poly.h"

#include <algorithm>
#include <cstddef>

#include "common/checked_access.h"
#include "reedsolomon/exceptions.h"
#include "reedsolomon/generic_gf.h"

namespace Aztec::ReedSolomon {

using AztecCore::checkedAt;

GenericGFPoly::GenericGFPoly(const GenericGF& field, std::vector<std::int32_t> coefficients)
    : field_(&field), coefficients_(std::move(coefficients)) {
    if (coefficients_.empty()) throw IllegalArgumentException("Coefficients is null or empty");
    if (coefficients_.size() > 1 && coefficients_.front() == 0) {
        const auto firstNonZero =
            std::find_if(coefficients_.begin(), coefficients_.end(), [](std::int32_t c) { return c != 0; });
        if (firstNonZero == coefficients_.end()) {
            coefficients_.assign(1, 0);
        } else {
            coefficients_.erase(coefficients_.begin(), firstNonZero);
        }
    }
}

std::int32_t GenericGFPoly::degree() const { return static_cast<std::int32_t>(coefficients_.size()) - 1; }

std::int32_t GenericGFPoly::coefficientOf(std::int32_t degree) const {
    return checkedAt(coefficients_, static_cast<std::int64_t>(coefficients_.size()) - 1 - degree);
}

bool GenericGFPoly::isZero() const { return checkedAt(coefficients_, 0) == 0; }

std::int32_t GenericGFPoly::valueAt(std::int32_t a) const {
    if (a == 0) return coefficientOf(0);
    if (a == 1) {
        std::int32_t sum = 0;
        for (std::int32_t c : coefficients_) sum ^= c;
        return sum;
    }
    // Within the field the tables need no checks; anything else takes the
    // checked path below and fails (or not) exactly where it always did.
    const std::int32_t size = field_->size();
    const bool within =
        a > 0 && a < size &&
        std::all_of(coefficients_.begin(), coefficients_.end(), [size](std::int32_t c) { return c >= 0 && c < size; });
    if (within) return field_->evaluateWithin(coefficients_.data(), coefficients_.size(), a);
    std::int32_t result = checkedAt(coefficients_, 0);
    for (std::size_t i = 1; i < coefficients_.size(); ++i) {
        result = field_->multiply(a, result) ^ coefficients_[i];
    }
    return result;
}

void GenericGFPoly::requireSameField(const GenericGFPoly& other) const {
    if (field_ != other.field_) {
        throw IllegalArgumentException("GenericGFPolys do not have the same GenericGF field");
    }
}

GenericGFPoly GenericGFPoly::add(const GenericGFPoly& other) const {
    requireSameField(other);
    if (isZero()) return other;
    if (other.isZero()) return *this;
    const auto* smaller = &coefficients_;
    const auto* larger = &other.coefficients_;
    if (smaller->size() > larger->size()) std::swap(smaller, larger);
    // Align at the constant term: the longer list's extra high terms pass through.
    std::vector<std::int32_t> sum(*larger);
    const std::size_t offset = larger->size() - smaller->size();
    for (std::size_t i = 0; i < smaller->size(); ++i) sum[offset + i] ^= (*smaller)[i];
    return GenericGFPoly(*field_, std::move(sum));
}

GenericGFPoly GenericGFPoly::multiply(const GenericGFPoly& other) const {
    requireSameField(other);
    if (isZero() || other.isZero()) return field_->zero();
    const auto& a = coefficients_;
    const auto& b = other.coefficients_;
    std::vector<std::int32_t> product(a.size() + b.size() - 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t j = 0; j < b.size(); ++j) product[i + j] ^= field_->multiply(a[i], b[j]);
    }
    return GenericGFPoly(*field_, std::move(product));
}

GenericGFPoly GenericGFPoly::scale(std::int32_t c) const {
    if (c == 0) return field_->zero();
    if (c == 1) return *this;
    std::vector<std::int32_t> scaled(coefficients_.size());
    for (std::size_t i = 0; i < coefficients_.size(); ++i) scaled[i] = field_->multiply(coefficients_[i], c);
    return GenericGFPoly(*field_, std::move(scaled));
}

GenericGFPoly GenericGFPoly::multiplyTerm(std::int32_t degree, std::int32_t c) const {
    if (degree < 0) throw IllegalArgumentException("Degree < 0");
    if (c == 0) return field_->zero();
    std::vector<std::int32_t> shifted(coefficients_.size() + static_cast<std::size_t>(degree), 0);
    for (std::size_t i = 0; i < coefficients_.size(); ++i) shifted[i] = field_->multiply(coefficients_[i], c);
    return GenericGFPoly(*field_, std::move(shifted));
}

}  // namespace Aztec::ReedSolomon
