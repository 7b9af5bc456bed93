#include "reedsolomon/generic_gf_poly.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "reedsolomon/exceptions.h"
#include "reedsolomon/generic_gf.h"

namespace {

using namespace Aztec::ReedSolomon;
using Coeffs = std::vector<std::int32_t>;

GenericGFPoly poly16(Coeffs c) { return GenericGFPoly(Field16, std::move(c)); }

struct NormaliseCase {
    Coeffs input;
    Coeffs stored;
    std::int32_t degree;
};

TEST(GenericGFPoly, NormalisationDropsLeadingZerosOnly) {
    const NormaliseCase cases[] = {
        {{0, 0, 5, 0}, {5, 0}, 1}, {{0, 0, 0}, {0}, 0}, {{0}, {0}, 0}, {{7}, {7}, 0},
        {{3, 0, 0}, {3, 0, 0}, 2}, {{0, 1}, {1}, 0},
    };
    for (const NormaliseCase& c : cases) {
        const GenericGFPoly p = poly16(c.input);
        EXPECT_EQ(p.coefficients(), c.stored);
        EXPECT_EQ(p.degree(), c.degree);
        EXPECT_EQ(p.isZero(), c.stored == Coeffs{0});
    }
}

TEST(GenericGFPoly, EmptyListIsRejected) {
    try {
        poly16({});
        ADD_FAILURE() << "no exception";
    } catch (const IllegalArgumentException& e) {
        EXPECT_STREQ(e.what(), "Coefficients is null or empty");
    }
}

TEST(GenericGFPoly, CoefficientOfCountsFromTheConstantTerm) {
    const GenericGFPoly p = poly16({9, 4, 7});
    EXPECT_EQ(p.coefficientOf(0), 7);
    EXPECT_EQ(p.coefficientOf(1), 4);
    EXPECT_EQ(p.coefficientOf(2), 9);
    EXPECT_THROW(p.coefficientOf(3), std::out_of_range);
    EXPECT_THROW(p.coefficientOf(-1), std::out_of_range);
}

TEST(GenericGFPoly, ValueAtZeroAndOneNeedNoTables) {
    // Coefficients outside GF(16) would trip any table lookup.
    const GenericGFPoly p = poly16({100, 200, 7});
    EXPECT_EQ(p.valueAt(0), 7);
    EXPECT_EQ(p.valueAt(1), 100 ^ 200 ^ 7);
    EXPECT_THROW(p.valueAt(2), std::out_of_range);
}

TEST(GenericGFPoly, ValueAtUsesHornersRule) {
    const GenericGFPoly p = poly16({3, 0, 5, 1});  // 3x^3 + 5x + 1
    for (std::int32_t a = 2; a < 16; ++a) {
        const std::int32_t a3 = Field16.multiply(a, Field16.multiply(a, a));
        const std::int32_t expected = Field16.multiply(3, a3) ^ Field16.multiply(5, a) ^ 1;
        EXPECT_EQ(p.valueAt(a), expected) << "a=" << a;
    }
}

TEST(GenericGFPoly, AddAlignsAtTheConstantTerm) {
    EXPECT_EQ(poly16({1, 2, 3}).add(poly16({5, 6})).coefficients(), (Coeffs{1, 2 ^ 5, 3 ^ 6}));
    EXPECT_EQ(poly16({5, 6}).add(poly16({1, 2, 3})).coefficients(), (Coeffs{1, 2 ^ 5, 3 ^ 6}));
    EXPECT_EQ(poly16({4, 2, 3}).add(poly16({4, 1, 1})).coefficients(), (Coeffs{3, 2}));
    EXPECT_EQ(Field16.zero().add(poly16({8, 1})).coefficients(), (Coeffs{8, 1}));
    EXPECT_EQ(poly16({8, 1}).add(Field16.zero()).coefficients(), (Coeffs{8, 1}));
    const GenericGFPoly p = poly16({13, 0, 6, 9});
    const GenericGFPoly sum = p.add(p);
    EXPECT_TRUE(sum.isZero());
    EXPECT_EQ(sum.coefficients(), Coeffs{0});
}

TEST(GenericGFPoly, MultiplyExpandsTheProduct) {
    const std::int32_t a1 = Field16.exp(1);
    const std::int32_t a2 = Field16.exp(2);
    // (x + a1)(x + a2) = x^2 + (a1 + a2)x + a1*a2
    const GenericGFPoly product = poly16({1, a1}).multiply(poly16({1, a2}));
    EXPECT_EQ(product.coefficients(), (Coeffs{1, a1 ^ a2, Field16.multiply(a1, a2)}));
    EXPECT_EQ(poly16({3, 4}).multiply(Field16.one()).coefficients(), (Coeffs{3, 4}));
    EXPECT_TRUE(poly16({3, 4}).multiply(Field16.zero()).isZero());
    EXPECT_TRUE(Field16.zero().multiply(poly16({3, 4})).isZero());
}

TEST(GenericGFPoly, ScaleAndMultiplyTerm) {
    const GenericGFPoly p = poly16({3, 0, 7});
    EXPECT_EQ(p.scale(1).coefficients(), p.coefficients());
    EXPECT_TRUE(p.scale(0).isZero());
    EXPECT_EQ(p.scale(5).coefficients(), (Coeffs{Field16.multiply(3, 5), 0, Field16.multiply(7, 5)}));
    EXPECT_EQ(p.multiplyTerm(2, 5).coefficients(), (Coeffs{Field16.multiply(3, 5), 0, Field16.multiply(7, 5), 0, 0}));
    EXPECT_EQ(p.multiplyTerm(0, 1).coefficients(), p.coefficients());
    EXPECT_TRUE(p.multiplyTerm(4, 0).isZero());
    try {
        p.multiplyTerm(-1, 1);
        ADD_FAILURE() << "no exception";
    } catch (const IllegalArgumentException& e) {
        EXPECT_STREQ(e.what(), "Degree < 0");
    }
}

TEST(GenericGFPoly, MixingFieldsIsRejected) {
    const GenericGFPoly a = poly16({1, 2});
    const GenericGFPoly b(Field64, {1, 2});
    for (int op = 0; op < 2; ++op) {
        try {
            if (op == 0)
                a.add(b);
            else
                b.multiply(a);
            ADD_FAILURE() << "no exception for op " << op;
        } catch (const IllegalArgumentException& e) {
            EXPECT_STREQ(e.what(), "GenericGFPolys do not have the same GenericGF field");
        }
    }
}

// Ring laws on random polynomials catch misaligned or mis-normalised results
// that single hand-made examples can miss.
TEST(GenericGFPoly, RandomPolynomialsObeyRingLaws) {
    std::mt19937 rng(77);
    std::uniform_int_distribution<std::int32_t> element(0, 255);
    std::uniform_int_distribution<int> length(1, 12);
    auto randomPoly = [&] {
        Coeffs c(static_cast<std::size_t>(length(rng)));
        for (auto& v : c) v = element(rng);
        if (c.size() > 1 && rng() % 3 == 0) c[0] = 0;
        return GenericGFPoly(Field256, c);
    };
    for (int trial = 0; trial < 200; ++trial) {
        const GenericGFPoly p = randomPoly();
        const GenericGFPoly q = randomPoly();
        const GenericGFPoly r = randomPoly();
        EXPECT_EQ(p.multiply(q.add(r)).coefficients(), p.multiply(q).add(p.multiply(r)).coefficients());
        EXPECT_EQ(p.add(q).coefficients(), q.add(p).coefficients());
        const std::int32_t x = element(rng);
        EXPECT_EQ(p.multiply(q).valueAt(x), Field256.multiply(p.valueAt(x), q.valueAt(x)));
        EXPECT_EQ(p.add(q).valueAt(x), p.valueAt(x) ^ q.valueAt(x));
        const std::int32_t c = element(rng);
        EXPECT_EQ(p.multiplyTerm(3, c).coefficients(), p.multiply(Field256.monomial(3, c)).coefficients());
        EXPECT_TRUE(p.coefficients().size() == 1 || p.coefficients()[0] != 0);
    }
}

}  // namespace
