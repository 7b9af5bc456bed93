#include "reedsolomon/rs_decoder.h"

#include <algorithm>
#include <cstddef>

#include "common/checked_access.h"
#include "reedsolomon/exceptions.h"

namespace Aztec::ReedSolomon {

using AztecCore::checkedAt;

int RsDecoder::correct(std::vector<std::int32_t>& received, int twoS) const {
    if (twoS <= 0) return static_cast<int>(received.size());
    const GenericGF& field = *field_;
    // Aztec's generator polynomial has the roots alpha^1 .. alpha^twoS.
    std::vector<std::int32_t> syndromes = syndromesOf(received, twoS);
    if (std::all_of(syndromes.begin(), syndromes.end(), [](std::int32_t s) { return s == 0; })) return 0;

    const GenericGFPoly syndrome(field, std::move(syndromes));
    const auto [sigma, omega] = solveKeyEquation(field.monomial(twoS, 1), syndrome, twoS);
    // With at most twoS/2 errors the evaluator's degree is below the
    // locator's. When it is not, the errors exceed the code's capacity and
    // Forney's values would not cancel the syndromes: applying them would
    // report a wrong word as corrected.
    if (omega.degree() >= sigma.degree())
        throw ReedSolomonException("Error locator degree does not match number of roots");
    const std::vector<std::int32_t> locations = locateErrors(sigma);
    const std::vector<std::int32_t> values = errorValues(omega, locations);

    const auto n = static_cast<std::int64_t>(received.size());
    for (std::size_t i = 0; i < locations.size(); ++i) {
        const std::int64_t position = n - 1 - field.log(locations[i]);
        // A shortened code leaves most of the field's positions unused; a root
        // there means the errors exceed what the check words can repair.
        if (position < 0) throw ReedSolomonException("Bad error location");
        checkedAt(received, position) ^= checkedAt(values, static_cast<std::int64_t>(i));
    }
    return static_cast<int>(locations.size());
}

bool RsDecoder::isCodeword(const std::vector<std::int32_t>& word, int twoS) const {
    if (twoS <= 0) return true;
    const std::vector<std::int32_t> syndromes = syndromesOf(word, twoS);
    return std::all_of(syndromes.begin(), syndromes.end(), [](std::int32_t s) { return s == 0; });
}

std::vector<std::int32_t> RsDecoder::syndromesOf(const std::vector<std::int32_t>& received, int twoS) const {
    const GenericGF& field = *field_;
    const std::int32_t size = field.size();
    std::vector<std::int32_t> syndromes(static_cast<std::size_t>(twoS), 0);
    const bool within =
        !received.empty() && twoS < size &&
        std::all_of(received.begin(), received.end(), [size](std::int32_t c) { return c >= 0 && c < size; });
    if (within) {
        field.evaluateAtPowersWithin(received.data(), received.size(), twoS, syndromes.data());
        std::reverse(syndromes.begin(), syndromes.end());
        return syndromes;
    }
    // Words outside the field (or more points than the field has) fail, or
    // not, exactly where the polynomial's checked evaluation does.
    const GenericGFPoly receivedPoly(field, received);
    for (int i = 0; i < twoS; ++i) checkedAt(syndromes, twoS - 1 - i) = receivedPoly.valueAt(field.exp(i + 1));
    return syndromes;
}

std::pair<GenericGFPoly, GenericGFPoly> RsDecoder::solveKeyEquation(GenericGFPoly a, GenericGFPoly b, int R) const {
    const GenericGF& field = *field_;
    if (a.degree() < b.degree()) std::swap(a, b);

    GenericGFPoly rLast = a;
    GenericGFPoly r = b;
    GenericGFPoly tLast = field.zero();
    GenericGFPoly t = field.one();

    while (r.degree() >= R / 2) {
        GenericGFPoly rLastLast = rLast;
        GenericGFPoly tLastLast = tLast;
        rLast = r;
        tLast = t;
        if (rLast.isZero()) throw ReedSolomonException("r_{i-1} was zero");

        r = rLastLast;
        GenericGFPoly q = field.zero();
        const std::int32_t dltInverse = field.inverse(rLast.coefficientOf(rLast.degree()));
        while (r.degree() >= rLast.degree() && !r.isZero()) {
            const std::int32_t degreeDiff = r.degree() - rLast.degree();
            const std::int32_t scale = field.multiply(r.coefficientOf(r.degree()), dltInverse);
            q = q.add(field.monomial(degreeDiff, scale));
            r = r.add(rLast.multiplyTerm(degreeDiff, scale));
        }
        t = q.multiply(tLast).add(tLastLast);
    }

    const std::int32_t sigmaTildeAtZero = t.coefficientOf(0);
    if (sigmaTildeAtZero == 0) throw ReedSolomonException("sigmaTilde(0) was zero");
    const std::int32_t inverse = field.inverse(sigmaTildeAtZero);
    return {t.scale(inverse), r.scale(inverse)};
}

std::vector<std::int32_t> RsDecoder::locateErrors(const GenericGFPoly& errorLocator) const {
    const GenericGF& field = *field_;
    const std::int32_t numErrors = errorLocator.degree();
    // sigma = 1 + X*x: the location is the linear coefficient itself.
    if (numErrors == 1) return {errorLocator.coefficientOf(1)};

    std::vector<std::int32_t> result;
    result.reserve(static_cast<std::size_t>(numErrors));
    const std::int32_t size = field.size();
    const std::vector<std::int32_t>& coefficients = errorLocator.coefficients();
    const bool within = size > 1 && std::all_of(coefficients.begin(), coefficients.end(),
                                                [size](std::int32_t c) { return c >= 0 && c < size; });
    if (within) {
        // Chien search: sigma at alpha^1 .. alpha^(size-1), which is every
        // non-zero element, with each term's exponent stepped rather than one
        // Horner chain per element. A polynomial of degree numErrors has at
        // most that many roots, so the full sweep finds the same roots the
        // element-by-element scan stopped at; sorting them by element keeps
        // that scan's order.
        const std::int32_t order = size - 1;
        std::vector<std::int32_t> values(static_cast<std::size_t>(order));
        field.evaluateAtPowersWithin(coefficients.data(), coefficients.size(), order, values.data());
        std::vector<std::int32_t> roots;
        for (std::int32_t j = 0; j < order; ++j) {
            if (values[static_cast<std::size_t>(j)] == 0) roots.push_back(field.exp(j + 1 == order ? 0 : j + 1));
        }
        std::sort(roots.begin(), roots.end());
        for (std::int32_t v : roots) result.push_back(field.inverse(v));
    } else {
        for (std::int32_t v = 1; v < size && static_cast<std::int32_t>(result.size()) < numErrors; ++v) {
            if (errorLocator.valueAt(v) == 0) result.push_back(field.inverse(v));
        }
    }
    if (static_cast<std::int32_t>(result.size()) != numErrors) {
        throw ReedSolomonException("Error locator degree does not match number of roots");
    }
    return result;
}

std::vector<std::int32_t> RsDecoder::errorValues(const GenericGFPoly& errorEvaluator,
                                                 const std::vector<std::int32_t>& errorLocations) const {
    const GenericGF& field = *field_;
    const std::size_t count = errorLocations.size();
    std::vector<std::int32_t> result(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t xiInverse = field.inverse(errorLocations[i]);
        std::int32_t denominator = 1;
        for (std::size_t j = 0; j < count; ++j) {
            if (i != j) denominator = field.multiply(denominator, field.multiply(errorLocations[j], xiInverse) ^ 1);
        }
        // Forney for syndromes taken at alpha^1..alpha^2S: omega carries one
        // extra factor X_i per error, divided out here.
        const std::int32_t value = field.multiply(errorEvaluator.valueAt(xiInverse), field.inverse(denominator));
        result[i] = field.multiply(value, xiInverse);
    }
    return result;
}

}  // namespace Aztec::ReedSolomon
