#include "SaltedTripleDes.h"

#include "coffer_openssl.h"
#include "nblob.h"

#include <openssl/evp.h>
#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace coffer {

namespace {

const EVP_CIPHER *tripleDes()
{
    return reinterpret_cast<const EVP_CIPHER *>(coffer_cipher(COFFER_ALG_3DES));
}

struct CipherCtxFree {
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

// Triple-DES CBC with padding; nothing on failure.
std::optional<std::vector<unsigned char>> runCipher(bool encrypt, const unsigned char *key, const unsigned char *iv,
                                                    const unsigned char *data, size_t length)
{
    const EVP_CIPHER *cipher = tripleDes();
    std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
    if (!cipher || !ctx || length > size_t(INT32_MAX) - kTripleDesBlockLength)
        return std::nullopt;
    if (EVP_CipherInit_ex2(ctx.get(), cipher, key, iv, encrypt ? 1 : 0, nullptr) != 1)
        return std::nullopt;
    std::vector<unsigned char> out(length + kTripleDesBlockLength);
    int written = 0;
    int last = 0;
    if (EVP_CipherUpdate(ctx.get(), out.data(), &written, data, int(length)) != 1
        || EVP_CipherFinal_ex(ctx.get(), out.data() + written, &last) != 1) {
        OPENSSL_cleanse(out.data(), out.size());
        return std::nullopt;
    }
    out.resize(size_t(written + last));
    return out;
}

} // namespace

bool randomBytes(unsigned char *out, size_t count)
{
    return count == 0 || RAND_bytes_ex(coffer_libctx(), out, count, 0) == 1;
}

bool deriveSaltedKey(const unsigned char *salt, size_t saltLength, const unsigned char *pass, size_t passLength,
                     unsigned char *key, size_t keyLength)
{
    std::vector<unsigned char> input(salt, salt + saltLength);
    input.insert(input.end(), pass, pass + passLength);
    unsigned char digest[20];
    size_t digestLength = 0;
    bool ok = EVP_Q_digest(coffer_libctx(), "SHA1", nullptr, input.data(), input.size(), digest, &digestLength) == 1;
    size_t filled = 0;
    while (ok) {
        const size_t take = std::min(keyLength - filled, size_t(20));
        std::memcpy(key + filled, digest, take);
        filled += take;
        if (filled == keyLength)
            break;
        unsigned char next[20];
        ok = EVP_Q_digest(coffer_libctx(), "SHA1", nullptr, digest, sizeof digest, next, &digestLength) == 1;
        std::memcpy(digest, next, sizeof digest);
        OPENSSL_cleanse(next, sizeof next);
    }
    OPENSSL_cleanse(digest, sizeof digest);
    OPENSSL_cleanse(input.data(), input.size());
    return ok;
}

std::string saltedSeal(const std::string &pass, size_t saltLength, const unsigned char *plain, size_t plainLength,
                       bool urlSafe)
{
    std::vector<unsigned char> sealed(saltLength + kTripleDesIVLength);
    unsigned char key[kTripleDesKeyLength];
    if (!randomBytes(sealed.data(), sealed.size())
        || !deriveSaltedKey(sealed.data(), saltLength, reinterpret_cast<const unsigned char *>(pass.data()),
                            pass.size(), key, sizeof key)) {
        OPENSSL_cleanse(key, sizeof key);
        return {};
    }
    static const unsigned char nothing = 0;
    auto cipherText = runCipher(true, key, sealed.data() + saltLength, plainLength ? plain : &nothing, plainLength);
    OPENSSL_cleanse(key, sizeof key);
    if (!cipherText)
        return {};
    sealed.insert(sealed.end(), cipherText->begin(), cipherText->end());
    char *text = EncodeBase64(sealed.data(), unsigned(sealed.size()), urlSafe ? 1 : 0);
    if (!text)
        return {};
    std::string result(text);
    FreeBaseAlloced(text);
    return result;
}

std::optional<std::vector<unsigned char>> saltedOpen(const std::string &pass, size_t saltLength,
                                                     const std::string &sealed, size_t maxCipherLength)
{
    if (sealed.empty())
        return std::nullopt;
    unsigned int decodedLength = 0;
    unsigned char *decoded = DecodeBase64(sealed.c_str(), unsigned(sealed.size()), &decodedLength);
    if (!decoded)
        return std::nullopt;
    std::vector<unsigned char> bytes(decoded, decoded + decodedLength);
    FreeBaseAlloced(decoded);
    const size_t prefix = saltLength + kTripleDesIVLength;
    if (bytes.size() < prefix + kTripleDesBlockLength || bytes.size() - prefix > maxCipherLength)
        return std::nullopt;
    unsigned char key[kTripleDesKeyLength];
    if (!deriveSaltedKey(bytes.data(), saltLength, reinterpret_cast<const unsigned char *>(pass.data()),
                         pass.size(), key, sizeof key)) {
        OPENSSL_cleanse(key, sizeof key);
        return std::nullopt;
    }
    auto plain = runCipher(false, key, bytes.data() + saltLength, bytes.data() + prefix, bytes.size() - prefix);
    OPENSSL_cleanse(key, sizeof key);
    return plain;
}

} // namespace coffer
