#pragma once
// The one numerical operation the library needs: solving the 8 x 8 linear
// system of a projective-map fit.
#include <exception>

namespace Aztec::Math {

// A row of the system holds only zeros; there is no solution to look for.
class MatrixSingularException : public std::exception {
public:
    const char* what() const noexcept override { return "Matrix is singular this operation cannot continue !"; }
};

// Solves the 8 x 8 system a.x = b (a row-major) in place by Crout LU
// decomposition with implicit partial pivoting, without allocating: b becomes
// x, a its LU factors. A zero row in a raises MatrixSingularException; other
// singular systems come back with huge or non-finite values.
void solveEightInPlace(double (&a)[64], double (&b)[8]);

}  // namespace Aztec::Math
