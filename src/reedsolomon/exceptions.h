#pragma once
// The failures of the Reed-Solomon layer. The kinds are separate classes, each
// straight below one base that only carries the message, so that callers can
// catch exactly the kinds they can recover from; none of them allocates, the
// message is always a string literal.
#include <exception>

namespace Aztec::ReedSolomon {

class MessageException : public std::exception {
public:
    explicit MessageException(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_;
};

class ReedSolomonException : public MessageException {
public:
    using MessageException::MessageException;
};

class IllegalSymbolException : public MessageException {
public:
    using MessageException::MessageException;
};

class ArithmeticException : public MessageException {
public:
    using MessageException::MessageException;
};

class IllegalArgumentException : public MessageException {
public:
    using MessageException::MessageException;
};

}  // namespace Aztec::ReedSolomon
