// A pair of 64-bit numbers sealed under the library's built-in pass phrase.
#pragma once

#include "coffer_export.h"

#include <cstdint>
#include <string>

namespace MSGCOOKIE {

class COFFER_API MsgCookie {
public:
    MsgCookie(uint64_t first = 0, uint64_t second = 0);
    virtual ~MsgCookie();

    uint64_t getFirst() const { return mFirst; }
    uint64_t getSecond() const { return mSecond; }

    // Clears output, then seals "first second" into it; true when the output
    // is not empty.
    bool encrypt(std::string &output, bool urlSafe);
    // True when both numbers were read back into the cookie.
    bool decrypt(const std::string &sealed);

    // Key of 24 bytes from an 8-byte salt.
    void getKey(unsigned char *key, const unsigned char *salt);
    void getSalt(unsigned char *buffer);
    void getIV(unsigned char *buffer);

private:
    uint64_t mFirst;
    uint64_t mSecond;
};

} // namespace MSGCOOKIE
