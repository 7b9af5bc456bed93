// Crout LU decomposition with implicit partial pivoting (every row scaled by
// its largest magnitude when choosing pivots), then forward and back
// substitution. The projective maps built on top are fitted through exactly
// four points, so the order of every operation is kept fixed: products are
// stored before they are subtracted so that each one is rounded on its own,
// even where the compiler could fuse or keep extended precision.
#include "math/matrix_solve.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace Aztec::Math {

namespace {

// Stands in for an exactly zero pivot so that a singular system still yields
// (huge) numbers instead of stopping.
constexpr double kTinyPivot = 1e-20;

// The size is fixed at compile time, which lets the compiler unroll the
// loops without changing any operation or its order.
template <std::size_t N>
class LuSystem {
public:
    // Works in place on caller-provided storage (row-major coefficients,
    // right-hand side, and N entries each of scale and permutation), so that
    // the system lives on the stack.
    LuSystem(double* coefficients, double* rhs, double* scale, std::size_t* perm)
        : a_(coefficients), x_(rhs), scale_(scale), perm_(perm) {}

    void solve() {
        computeScales();
        decompose();
        forwardSubstitute();
        backSubstitute();
    }

private:
    static constexpr std::size_t size() { return N; }
    double& at(std::size_t i, std::size_t j) { return a_[i * size() + j]; }

    void computeScales() {
        for (std::size_t i = 0; i < size(); ++i) {
            double big = 0.0;
            for (std::size_t j = 0; j < size(); ++j) {
                const double magnitude = std::fabs(at(i, j));
                if (magnitude > big) big = magnitude;
            }
            if (big == 0.0) throw MatrixSingularException();
            scale_[i] = 1.0 / big;
        }
    }

    // a[i][j] minus the sum of a[i][k] * a[k][j] for k < limit, one product at a time.
    double reduced(std::size_t i, std::size_t j, std::size_t limit) {
        double sum = at(i, j);
        for (std::size_t k = 0; k < limit; ++k) {
            const double product = at(i, k) * at(k, j);
            sum = sum - product;
        }
        return sum;
    }

    void decompose() {
        for (std::size_t j = 0; j < size(); ++j) {
            for (std::size_t i = 0; i < j; ++i) at(i, j) = reduced(i, j, i);
            double big = 0.0;
            std::size_t pivot = j;  // kept only when every candidate is NaN
            for (std::size_t i = j; i < size(); ++i) {
                const double value = reduced(i, j, j);
                at(i, j) = value;
                const double weighted = std::fabs(value) * scale_[i];
                // >= lets a later row win a tie.
                if (weighted >= big) {
                    big = weighted;
                    pivot = i;
                }
            }
            if (pivot != j) {
                for (std::size_t k = 0; k < size(); ++k) std::swap(at(pivot, k), at(j, k));
                scale_[pivot] = scale_[j];
            }
            perm_[j] = pivot;
            if (j != size() - 1) {
                if (at(j, j) == 0.0) at(j, j) = kTinyPivot;
                const double reciprocal = 1.0 / at(j, j);
                for (std::size_t i = j + 1; i < size(); ++i) at(i, j) = reciprocal * at(i, j);
            }
        }
        if (at(size() - 1, size() - 1) == 0.0) at(size() - 1, size() - 1) = kTinyPivot;
    }

    void forwardSubstitute() {
        // Leading zeros of the permuted right-hand side contribute nothing,
        // so the sums start at the first non-zero entry.
        bool started = false;
        std::size_t first = 0;
        for (std::size_t i = 0; i < size(); ++i) {
            const std::size_t p = perm_[i];
            double sum = x_[p];
            x_[p] = x_[i];
            if (started) {
                for (std::size_t k = first; k < i; ++k) {
                    const double product = at(i, k) * x_[k];
                    sum = sum - product;
                }
            } else if (sum != 0.0) {
                started = true;
                first = i;
            }
            x_[i] = sum;
        }
    }

    void backSubstitute() {
        for (std::size_t i = size(); i-- > 0;) {
            double sum = x_[i];
            for (std::size_t k = i + 1; k < size(); ++k) {
                const double product = at(i, k) * x_[k];
                sum = sum - product;
            }
            x_[i] = sum / at(i, i);
        }
    }

    double* a_;
    double* x_;
    double* scale_;
    std::size_t* perm_;
};

}  // namespace

void solveEightInPlace(double (&a)[64], double (&b)[8]) {
    double scale[8];
    std::size_t perm[8];
    LuSystem<8>(a, b, scale, perm).solve();
}

}  // namespace Aztec::Math
