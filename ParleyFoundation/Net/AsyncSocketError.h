#pragma once

// Errors and misuse of the socket layer.

#include <QString>
#include <stdexcept>

namespace parley {

inline constexpr char kAsyncSocketErrorDomain[] = "AsyncSocketErrorDomain";

// An error object: domain, code and a readable description.
struct AsyncSocketError
{
    QString domain;
    int code = 0;
    QString description;

    enum Code {
        CFSocketError = -1,
        CanceledError = 1,
        ConnectTimeoutError = 2,
        ReadMaxedOutError = 3,
        ReadTimeoutError = 4,
        WriteTimeoutError = 5,
    };
    // An error of the socket layer's own domain with its default text.
    static AsyncSocketError socketError(Code code);
    // An error of the transport below (domain names the source).
    static AsyncSocketError other(const QString &domain, int code, const QString &description)
    {
        return {domain, code, description};
    }
};

// Raised on misuse of a socket (connecting without a delegate, or while
// connected); a programming error, never caused by the network.
class AsyncSocketException : public std::logic_error
{
public:
    explicit AsyncSocketException(const char *reason) : std::logic_error(reason) {}
    static constexpr char name[] = "AsyncSocketException";
};

} // namespace parley
