// Arbitrary bytes through the DER decoder, then encoding and printing of
// whatever it accepted.

#include "asn1.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FILE *sink = std::fopen("/dev/null", "w");
    ASN1::ErrorList errors;
    uint32_t consumed = uint32_t(size > 0xFFFFFFFFu ? 0xFFFFFFFFu : size);
    std::unique_ptr<ASN1::Object> object(ASN1::Object::Decode(data, &consumed, &errors));
    if (!object)
        return 0;
    if (consumed > size)
        __builtin_trap();
    const auto encoded = object->Encode();
    (void)encoded;
    if (sink)
        object->Print(sink);
    return 0;
}
