#include "SimpleCrypto.h"

#include "SaltedTripleDes.h"

#include <openssl/crypto.h>

#include <cstdlib>
#include <limits>

namespace SIMPLECRYPTO {

UCBuffer::UCBuffer(size_t size) : mData(static_cast<unsigned char *>(size ? std::malloc(size) : nullptr)), mSize(mData ? size : 0)
{
}

UCBuffer::~UCBuffer()
{
    std::free(mData);
}

SimpleCrypto::SimpleCrypto(const std::string &password, size_t saltLength, const char *)
    : mPassword(password), mKeyLength(coffer::kTripleDesKeyLength), mSaltLength(saltLength),
      mIVLength(coffer::kTripleDesIVLength), mBlockLength(coffer::kTripleDesBlockLength)
{
}

SimpleCrypto::~SimpleCrypto()
{
    OPENSSL_cleanse(mPassword.data(), mPassword.size());
}

std::string &SimpleCrypto::encrypt(std::string &output, const unsigned char *bytes, size_t length, bool urlSafe)
{
    output.clear();
    if (!bytes && length > 0)
        return output;
    output = coffer::saltedSeal(mPassword, mSaltLength, bytes, length, urlSafe);
    return output;
}

std::string &SimpleCrypto::decrypt(std::string &output, const std::string &sealed)
{
    output.clear();
    const auto plain =
        coffer::saltedOpen(mPassword, mSaltLength, sealed, std::numeric_limits<size_t>::max());
    if (plain)
        output.assign(plain->begin(), plain->end());
    return output;
}

void SimpleCrypto::getKey(unsigned char *key, const unsigned char *salt)
{
    coffer::deriveSaltedKey(salt, mSaltLength, reinterpret_cast<const unsigned char *>(mPassword.data()),
                            mPassword.size(), key, mKeyLength);
}

unsigned char *SimpleCrypto::getRandBytes(unsigned char *buffer, size_t count)
{
    coffer::randomBytes(buffer, count);
    return buffer;
}

} // namespace SIMPLECRYPTO
