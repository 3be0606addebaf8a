#include "coffer_verify.h"

#include <cstdlib>
#include <cstring>
#include <string>

char *streverse(const char *source, char *destination)
{
    if (!source || !destination)
        return destination;
    const size_t length = std::strlen(source);
    // memmove-safe when destination is source: reverse a copy.
    std::string copy(source, length);
    for (size_t i = 0; i < length; ++i)
        destination[i] = copy[length - 1 - i];
    destination[length] = '\0';
    return destination;
}

int strevncmp(const char *a, const char *b, int n)
{
    if (!a || !b)
        return a == b ? 0 : (a ? 1 : -1);
    if (n <= 0)
        return 0;
    std::string ra(a);
    std::string rb(b);
    streverse(ra.c_str(), ra.data());
    streverse(rb.c_str(), rb.data());
    return std::strncmp(ra.c_str(), rb.c_str(), size_t(n));
}
