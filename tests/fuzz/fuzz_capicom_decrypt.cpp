// Arbitrary bytes as CAPICOM encrypted data: raw DER and Base64 text.

#include "capicom.h"
#include "crypt_util.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool quiet = [] {
        SetErrorHandler(nullptr);
        return true;
    }();
    (void)quiet;
    NCAPICOM::EncryptedData raw(nullptr, nullptr);
    raw.SetSecret("pw");
    raw.Decrypt(data, unsigned(size), COFFER_BLOB_RAW);
    raw.GetContentA();

    const std::string text(reinterpret_cast<const char *>(data), size);
    NCAPICOM::EncryptedData fromText(nullptr, nullptr);
    fromText.SetSecret("pw");
    fromText.Decrypt(text.c_str(), COFFER_BLOB_BASE64);
    return 0;
}
