// Any byte string sealed under a password given by the caller.
#pragma once

#include "coffer_export.h"

#include <cstddef>
#include <string>

namespace SIMPLECRYPTO {

// An owned heap byte buffer of a size fixed at construction.
class COFFER_API UCBuffer {
public:
    explicit UCBuffer(size_t size);
    virtual ~UCBuffer();
    UCBuffer(const UCBuffer &) = delete;
    UCBuffer &operator=(const UCBuffer &) = delete;

    // True when the allocation succeeded (the size is 0 otherwise).
    bool isReady() const { return mData != nullptr; }
    size_t getSize() const { return mSize; }
    unsigned char *getChar() { return mData; }
    operator unsigned char *() { return mData; }

private:
    unsigned char *mData;
    size_t mSize;
};

class COFFER_API SimpleCrypto {
public:
    // The name is not used: the cipher is always triple-DES EDE CBC.
    SimpleCrypto(const std::string &password, size_t saltLength, const char *name = nullptr);
    virtual ~SimpleCrypto();

    // The sealed text in output; empty on failure.
    std::string &encrypt(std::string &output, const unsigned char *bytes, size_t length, bool urlSafe);
    // The plain bytes in output; empty on failure.
    std::string &decrypt(std::string &output, const std::string &sealed);

    void getKey(unsigned char *key, const unsigned char *salt);
    unsigned char *getRandBytes(unsigned char *buffer, size_t count);

private:
    std::string mPassword;
    size_t mKeyLength;
    size_t mSaltLength;
    size_t mIVLength;
    size_t mBlockLength;
};

} // namespace SIMPLECRYPTO
