#pragma once
// The failures of the linear-algebra layer. They carry no data: the class says
// what went wrong, and the fixed text is what a log would show.
#include <exception>

namespace Aztec::Math {

class MatrixNullException : public std::exception {
public:
    const char* what() const noexcept override { return "To do this operation, matrix can not be null"; }
};

class MatrixDimensionException : public std::exception {
public:
    const char* what() const noexcept override {
        return "Dimension of the two matrices not suitable for this operation !";
    }
};

class MatrixNotSquareException : public std::exception {
public:
    const char* what() const noexcept override { return "To do this operation, matrix must be a square matrix !"; }
};

class MatrixSingularException : public std::exception {
public:
    const char* what() const noexcept override { return "Matrix is singular this operation cannot continue !"; }
};

}  // namespace Aztec::Math
