#pragma once
// Reed-Solomon error correction over one of the static Galois fields.
#include <cstdint>
#include <utility>
#include <vector>

#include "reedsolomon/generic_gf.h"
#include "reedsolomon/generic_gf_poly.h"

namespace Aztec::ReedSolomon {

class RsDecoder {
public:
    explicit RsDecoder(const GenericGF& field) : field_(&field) {}

    // Corrects `received` in place; its last twoS elements are the check words.
    // Returns the number of corrected words (the vector's length when twoS <= 0).
    // Throws ReedSolomonException when the errors cannot be located.
    int correct(std::vector<std::int32_t>& received, int twoS) const;

    // True when `word`'s last twoS elements are check words of the rest, that
    // is when it vanishes at alpha^1 .. alpha^twoS.
    bool isCodeword(const std::vector<std::int32_t>& word, int twoS) const;

private:
    // The received word's values at alpha^twoS .. alpha^1, highest power first.
    std::vector<std::int32_t> syndromesOf(const std::vector<std::int32_t>& received, int twoS) const;
    // Extended Euclid on x^R and the syndrome polynomial; returns the error
    // locator sigma (constant term 1) and the error evaluator omega.
    std::pair<GenericGFPoly, GenericGFPoly> solveKeyEquation(GenericGFPoly a, GenericGFPoly b, int R) const;
    std::vector<std::int32_t> locateErrors(const GenericGFPoly& errorLocator) const;
    std::vector<std::int32_t> errorValues(const GenericGFPoly& errorEvaluator,
                                          const std::vector<std::int32_t>& errorLocations) const;

    const GenericGF* field_;
};

}  // namespace Aztec::ReedSolomon
