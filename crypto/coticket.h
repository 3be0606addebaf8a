// Password-sealed tickets: named text properties, always with an expiry
// ("utcexpire", seconds since the epoch), sealed as CAPICOM-compatible
// encrypted data with AES-128 and carried as Base64 text.
#pragma once

#include "coffer_export.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace COTICKET {

using Properties = std::map<std::string, std::string>;
// Seconds since the epoch; tests inject their own.
using Clock = std::function<int64_t()>;

class COFFER_API CoTicket {
public:
    explicit CoTicket(const char *charset = nullptr);
    ~CoTicket();
    CoTicket(const CoTicket &) = delete;
    CoTicket &operator=(const CoTicket &) = delete;

    // Sets "utcexpire" to now + lifetime and seals all properties. Returns the
    // ticket text (owned by the object); on failure the previous one, or null.
    const char *getTicket(const char *password, unsigned long lifetime, bool urlSafe);
    // Opens a ticket and replaces the properties with its own; with
    // checkExpiry, an expired ticket is refused.
    bool setTicket(const char *password, const char *ticket, bool checkExpiry);

    // The value (owned by the object) or null.
    const char *getProperty(const char *key) const;
    // Adds the pair, replacing the value of an existing key.
    void setProperty(const char *key, const char *value);
    const Properties &getProperties() const { return m_Properties; }
    void setProperties(const Properties &properties) { m_Properties = properties; }

    void setClock(Clock clock);

private:
    int64_t now() const;

    Properties m_Properties;
    std::optional<std::string> m_Charset;
    std::optional<std::string> m_TicketText;
    Clock m_Clock;
};

// Decodes %XX escapes of [start, end) in place and ends the text with a zero.
COFFER_API void CoTicketDecodeParam(char *start, char *end);
// "0"-"9" and "a"-"f" give their values; any other character c gives c - 55.
COFFER_API int CoTicketHex2BinCh(char c);
// The byte of two hexadecimal digits.
COFFER_API unsigned char CoTicketHex2BinStr(const char *twoDigits);
// Parser callback: decodes key and value in place and sets the property on
// the ticket given as context.
COFFER_API void OnCoTicketParsed(char *keyStart, char *keyEnd, char *valueStart, char *valueEnd, void *ticket);

} // namespace COTICKET
