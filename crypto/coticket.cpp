#include "coticket.h"

#include "capicom.h"
#include "crypt_util.h"

#include <openssl/crypto.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace COTICKET {

namespace {

const char kUnit[] = "coticket";
#define REPORT(message) COFFER_REPORT(kUnit, message)

const char kExpireKey[] = "utcexpire";

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "&", "=" and "%" become "%26", "%3d" and "%25"; every other byte stays.
void appendEscaped(std::string &out, const std::string &text)
{
    for (char c : text) {
        if (c == '&')
            out += "%26";
        else if (c == '=')
            out += "%3d";
        else if (c == '%')
            out += "%25";
        else
            out += c;
    }
}

std::string joinProperties(const Properties &properties)
{
    std::string text;
    for (const auto &[key, value] : properties) {
        if (!text.empty())
            text += '&';
        appendEscaped(text, key);
        text += '=';
        appendEscaped(text, value);
    }
    return text;
}

} // namespace

int CoTicketHex2BinCh(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 55;
}

unsigned char CoTicketHex2BinStr(const char *twoDigits)
{
    return static_cast<unsigned char>((CoTicketHex2BinCh(twoDigits[0]) << 4) | CoTicketHex2BinCh(twoDigits[1]));
}

void CoTicketDecodeParam(char *start, char *end)
{
    if (!start || !end || end < start)
        return;
    char *out = start;
    const char *in = start;
    while (in < end) {
        if (*in != '%') {
            *out++ = *in++;
            continue;
        }
        const ptrdiff_t left = end - in - 1; // characters after the "%"
        if (left == 0) {
            ++in; // a trailing "%" is dropped
        } else if (left >= 2 && isHexDigit(in[1]) && isHexDigit(in[2])) {
            *out++ = char(CoTicketHex2BinStr(in + 1));
            in += 3;
        } else {
            // Not an escape: "%" and a non-digit stay as two characters, "%",
            // a digit and a non-digit as three.
            const ptrdiff_t keep = isHexDigit(in[1]) ? std::min<ptrdiff_t>(3, left + 1) : 2;
            for (ptrdiff_t i = 0; i < keep; ++i)
                *out++ = *in++;
        }
    }
    *out = '\0';
}

void OnCoTicketParsed(char *keyStart, char *keyEnd, char *valueStart, char *valueEnd, void *ticket)
{
    auto *self = static_cast<CoTicket *>(ticket);
    if (!self)
        return;
    CoTicketDecodeParam(keyStart, keyEnd);
    CoTicketDecodeParam(valueStart, valueEnd);
    self->setProperty(keyStart, valueStart);
}

CoTicket::CoTicket(const char *charset)
{
    if (charset)
        m_Charset = charset;
}

CoTicket::~CoTicket()
{
    if (m_TicketText)
        OPENSSL_cleanse(m_TicketText->data(), m_TicketText->size());
}

void CoTicket::setClock(Clock clock)
{
    m_Clock = std::move(clock);
}

int64_t CoTicket::now() const
{
    return m_Clock ? m_Clock() : int64_t(std::time(nullptr));
}

const char *CoTicket::getProperty(const char *key) const
{
    if (!key)
        return nullptr;
    const auto it = m_Properties.find(key);
    return it == m_Properties.end() ? nullptr : it->second.c_str();
}

void CoTicket::setProperty(const char *key, const char *value)
{
    if (!key)
        return;
    // Replacing keeps a second getTicket's new expiry in the ticket it makes.
    m_Properties[key] = value ? value : "";
}

const char *CoTicket::getTicket(const char *password, unsigned long lifetime, bool urlSafe)
{
    if (!password) {
        REPORT("Coticket:getTicket() : password is NULL");
        return nullptr;
    }
    setProperty(kExpireKey, std::to_string(uint64_t(now()) + lifetime).c_str());
    const std::string text = joinProperties(m_Properties);

    NCAPICOM::EncryptedData data(nullptr, m_Charset ? m_Charset->c_str() : nullptr);
    data.SetSecret(password);
    data.SetContent(text.c_str());
    data.SetAlgorithm(COFFER_ALG_AES_128);
    _NBLOB *sealed = data.Encrypt(COFFER_BLOB_BASE64, urlSafe ? 1 : 0);
    if (!sealed) {
        REPORT("Can't encrypt coticket");
        return m_TicketText ? m_TicketText->c_str() : nullptr;
    }
    m_TicketText = std::string(reinterpret_cast<const char *>(sealed->data), sealed->size);
    DestroyBlob(sealed);
    return m_TicketText->c_str();
}

bool CoTicket::setTicket(const char *password, const char *ticket, bool checkExpiry)
{
    if (!password || !*password) {
        REPORT("CoTicket::setTicket() : password is NULL or null string");
        return false;
    }
    if (!ticket || !*ticket) {
        REPORT("CoTicket::setTicket() : ticket is NULL or null string");
        return false;
    }
    NCAPICOM::EncryptedData data(nullptr, m_Charset ? m_Charset->c_str() : nullptr);
    data.SetSecret(password);
    data.SetAlgorithm(COFFER_ALG_AES_128);
    if (!data.Decrypt(ticket, COFFER_BLOB_BASE64)) {
        REPORT("CoTicket::setTicket() : Can't decrypt ticket");
        return false;
    }
    const char *content = data.GetContentA();
    m_TicketText = std::string(content ? content : "");
    m_Properties.clear();
    // The parser decodes in place, so it works on a copy of the text.
    std::string parsed = *m_TicketText;
    KeyValueParserUtil(parsed.data(), '&', '=', OnCoTicketParsed, this);
    OPENSSL_cleanse(parsed.data(), parsed.size());

    if (!checkExpiry)
        return true;
    const char *expire = getProperty(kExpireKey);
    if (!expire || !*expire) {
        REPORT("CoTicket::setTicket() : utcexpire value is null");
        return false;
    }
    const size_t length = std::strlen(expire);
    // More than 19 digits would not fit the clock's 64 bits.
    if (length > 19 || std::strspn(expire, "0123456789") != length) {
        REPORT("CoTicket::setValue() : invalid utcexpire value");
        return false;
    }
    const int64_t expiry = std::stoll(expire);
    if (expiry < now()) {
        REPORT("CoTicket:setValue() : ticket is expired");
        return false;
    }
    return true;
}

} // namespace COTICKET
