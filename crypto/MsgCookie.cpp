#include "MsgCookie.h"

#include "SaltedTripleDes.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace MSGCOOKIE {

namespace {

const char kPassPhrase[] = "Qmvtrazkeb##&&??";
constexpr size_t kPassPhraseLength = sizeof kPassPhrase - 1;
constexpr size_t kSaltLength = 8;
constexpr size_t kMaxCipherLength = 1024;

// A whole unsigned decimal 64-bit number, nothing else.
bool parseNumber(const std::string &text, uint64_t &value)
{
    if (text.empty() || text.size() > 20)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    errno = 0;
    const unsigned long long parsed = std::strtoull(text.c_str(), nullptr, 10);
    if (errno == ERANGE)
        return false;
    value = parsed;
    return true;
}

} // namespace

MsgCookie::MsgCookie(uint64_t first, uint64_t second) : mFirst(first), mSecond(second) {}

MsgCookie::~MsgCookie() = default;

bool MsgCookie::encrypt(std::string &output, bool urlSafe)
{
    output.clear();
    char plain[48];
    const int length = std::snprintf(plain, sizeof plain, "%" PRIu64 " %" PRIu64, mFirst, mSecond);
    output = coffer::saltedSeal(std::string(kPassPhrase, kPassPhraseLength), kSaltLength,
                                reinterpret_cast<const unsigned char *>(plain), size_t(length), urlSafe);
    return !output.empty();
}

bool MsgCookie::decrypt(const std::string &sealed)
{
    const auto plain = coffer::saltedOpen(std::string(kPassPhrase, kPassPhraseLength), kSaltLength, sealed,
                                          kMaxCipherLength);
    if (!plain)
        return false;
    const std::string text(plain->begin(), plain->end());
    const size_t space = text.find(' ');
    if (space == std::string::npos)
        return false;
    uint64_t first = 0;
    uint64_t second = 0;
    // The text ends at its first zero byte, as the sealed text is a C string.
    const std::string secondText = text.substr(space + 1, text.find('\0', space + 1) - space - 1);
    if (!parseNumber(text.substr(0, space), first) || !parseNumber(secondText, second))
        return false;
    mFirst = first;
    mSecond = second;
    return true;
}

void MsgCookie::getKey(unsigned char *key, const unsigned char *salt)
{
    coffer::deriveSaltedKey(salt, kSaltLength, reinterpret_cast<const unsigned char *>(kPassPhrase),
                            kPassPhraseLength, key, coffer::kTripleDesKeyLength);
}

void MsgCookie::getSalt(unsigned char *buffer)
{
    coffer::randomBytes(buffer, kSaltLength);
}

void MsgCookie::getIV(unsigned char *buffer)
{
    coffer::randomBytes(buffer, coffer::kTripleDesIVLength);
}

} // namespace MSGCOOKIE
