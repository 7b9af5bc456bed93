#include "reedsolomon/generic_gf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "field_cases.h"
#include "reedsolomon/exceptions.h"
#include "reedsolomon/generic_gf_poly.h"

namespace {

using namespace Aztec::ReedSolomon;
using rstest::FieldCase;
using rstest::slowMultiply;

template <class Exception, class F>
void expectThrowsWithMessage(F&& f, const char* message) {
    try {
        f();
        ADD_FAILURE() << "expected an exception with \"" << message << "\"";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

TEST(GenericGF, Field16TablesMatchTheKnownPowersOfAlpha) {
    const std::int32_t expected[] = {1, 2, 4, 8, 3, 6, 12, 11, 5, 10, 7, 14, 15, 13, 9, 1};
    for (std::int32_t i = 0; i < 16; ++i) EXPECT_EQ(Field16.exp(i), expected[i]) << "i=" << i;
    EXPECT_EQ(Field16.log(3), 4);
    EXPECT_EQ(Field16.log(9), 14);
    EXPECT_EQ(Field16.log(1), 0);
    EXPECT_EQ(Field16.size(), 16);
}

TEST(GenericGF, FailuresCarryTheirExactMessages) {
    expectThrowsWithMessage<IllegalArgumentException>([] { Field256.log(0); }, "Log praram is zero");
    expectThrowsWithMessage<ArithmeticException>([] { Field64.inverse(0); }, "Arithmetic Exception");
    expectThrowsWithMessage<IllegalArgumentException>([] { Field16.monomial(-1, 1); }, "degree < 0");
}

TEST(GenericGF, TableIndicesOutsideTheFieldAreOutOfRange) {
    EXPECT_THROW(Field16.exp(16), std::out_of_range);
    EXPECT_THROW(Field16.exp(-1), std::out_of_range);
    EXPECT_THROW(Field16.log(16), std::out_of_range);
    EXPECT_THROW(Field16.inverse(-3), std::out_of_range);
    EXPECT_THROW(Field64.multiply(64, 1), std::out_of_range);
    expectThrowsWithMessage<std::out_of_range>([] { Field16.exp(99); }, "invalid vector<T> subscript");
}

TEST(GenericGF, MonomialHasLeadingCoefficientThenZeros) {
    const GenericGFPoly m = Field16.monomial(3, 7);
    EXPECT_EQ(m.coefficients(), (std::vector<std::int32_t>{7, 0, 0, 0}));
    const GenericGFPoly z = Field16.monomial(3, 0);
    EXPECT_TRUE(z.isZero());
    EXPECT_EQ(z.degree(), 0);
    EXPECT_EQ(Field16.zero().coefficients(), std::vector<std::int32_t>{0});
    EXPECT_EQ(Field16.one().coefficients(), std::vector<std::int32_t>{1});
    EXPECT_EQ(&Field16.zero().field(), &Field16);
}

// No exception derives from another, so a handler for one kind never
// swallows a different failure.
TEST(ReedSolomonExceptions, AreUnrelatedStandardExceptions) {
    static_assert(std::is_base_of_v<std::exception, ReedSolomonException>);
    static_assert(std::is_base_of_v<std::exception, IllegalSymbolException>);
    static_assert(std::is_base_of_v<std::exception, ArithmeticException>);
    static_assert(std::is_base_of_v<std::exception, IllegalArgumentException>);
    static_assert(!std::is_base_of_v<ReedSolomonException, IllegalSymbolException>);
    static_assert(!std::is_base_of_v<IllegalSymbolException, ReedSolomonException>);
    static_assert(!std::is_base_of_v<std::runtime_error, ReedSolomonException>);
    static_assert(!std::is_base_of_v<std::logic_error, IllegalArgumentException>);
    // A handler for another kind lets a real failure pass; a std::exception
    // handler still gets its message.
    bool reachedBase = false;
    try {
        try {
            Field64.inverse(0);
        } catch (const IllegalArgumentException&) {
            ADD_FAILURE() << "caught by the handler of another kind";
        }
    } catch (const std::exception& e) {
        reachedBase = true;
        EXPECT_STREQ(e.what(), "Arithmetic Exception");
    }
    EXPECT_TRUE(reachedBase);
}

TEST(EveryField, ExpTableIsTheSuccessivePowersOfAlpha) {
    for (const FieldCase& c : rstest::kFieldCases) {
        SCOPED_TRACE(c.name);
        std::int32_t power = 1;
        std::vector<bool> seen(static_cast<std::size_t>(c.size), false);
        for (std::int32_t i = 0; i < c.size - 1; ++i) {
            ASSERT_EQ(c.field->exp(i), power) << "i=" << i;
            ASSERT_FALSE(seen[static_cast<std::size_t>(power)]) << "alpha is not primitive";
            seen[static_cast<std::size_t>(power)] = true;
            ASSERT_EQ(c.field->log(power), i);
            power = slowMultiply(power, 2, c.primitive, c.size);
        }
        EXPECT_EQ(power, 1);
        EXPECT_EQ(c.field->exp(c.size - 1), 1);
        EXPECT_EQ(c.field->size(), c.size);
    }
}

TEST(EveryField, MultiplyAgreesWithCarrylessArithmetic) {
    std::mt19937 rng(1234);
    for (const FieldCase& c : rstest::kFieldCases) {
        SCOPED_TRACE(c.name);
        const GenericGF& f = *c.field;
        if (c.size <= 256) {
            for (std::int32_t a = 0; a < c.size; ++a) {
                for (std::int32_t b = 0; b < c.size; ++b) {
                    ASSERT_EQ(f.multiply(a, b), slowMultiply(a, b, c.primitive, c.size)) << a << "*" << b;
                }
            }
        } else {
            std::uniform_int_distribution<std::int32_t> element(0, c.size - 1);
            for (int k = 0; k < 20000; ++k) {
                const std::int32_t a = element(rng);
                const std::int32_t b = element(rng);
                ASSERT_EQ(f.multiply(a, b), slowMultiply(a, b, c.primitive, c.size)) << a << "*" << b;
            }
        }
        // The largest exponent sum, 2*(size-2), still folds into the table.
        const std::int32_t top = f.exp(c.size - 2);
        EXPECT_EQ(f.multiply(top, top), slowMultiply(top, top, c.primitive, c.size));
        EXPECT_EQ(f.multiply(top, 2), 1);
        EXPECT_EQ(f.multiply(0, top), 0);
        EXPECT_EQ(f.multiply(top, 0), 0);
    }
}

TEST(EveryField, EveryNonZeroElementHasItsInverse) {
    for (const FieldCase& c : rstest::kFieldCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.field->inverse(1), 1);
        for (std::int32_t a = 1; a < c.size; ++a) {
            ASSERT_EQ(slowMultiply(a, c.field->inverse(a), c.primitive, c.size), 1) << "a=" << a;
        }
    }
}

}  // namespace
