// Arbitrary text as a sealed message cookie and as simple-encryption output.

#include "MsgCookie.h"
#include "SimpleCrypto.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    MSGCOOKIE::MsgCookie cookie;
    cookie.decrypt(text);

    SIMPLECRYPTO::SimpleCrypto crypto("pw", 8);
    std::string plain;
    crypto.decrypt(plain, text);
    return 0;
}
