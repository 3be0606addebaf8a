// Arbitrary text as a ticket, and as the property text inside one.

#include "coticket.h"
#include "crypt_util.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    COTICKET::CoTicket sealed;
    sealed.setClock([] { return int64_t(1700000000); });
    sealed.setTicket("pw", text.c_str(), true);

    // The property text as it comes out of a decrypted ticket.
    COTICKET::CoTicket parsed;
    std::string copy = text;
    KeyValueParserUtil(copy.data(), '&', '=', COTICKET::OnCoTicketParsed, &parsed);
    for (const auto &[key, value] : parsed.getProperties()) {
        if (parsed.getProperty(key.c_str()) == nullptr)
            __builtin_trap();
    }
    return 0;
}
