#pragma once
// The failures of the Reed-Solomon layer. Each class derives straight from
// std::exception so that callers can catch exactly the kinds they can recover
// from; none of them allocates, the message is always a string literal.
#include <exception>

namespace Aztec::ReedSolomon {

class ReedSolomonException : public std::exception {
public:
    explicit ReedSolomonException(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

class IllegalSymbolException : public std::exception {
public:
    explicit IllegalSymbolException(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

class ArithmeticException : public std::exception {
public:
    explicit ArithmeticException(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

class IllegalArgumentException : public std::exception {
public:
    explicit IllegalArgumentException(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

}  // namespace Aztec::ReedSolomon
