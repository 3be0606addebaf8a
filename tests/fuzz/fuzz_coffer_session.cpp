// Arbitrary server key info into a client session's Init, or arbitrary
// messages into DecryptMessage. The first byte picks the blob type (and, for
// messages, the algorithm), the rest is the input.
#include "coffer.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static CCofferContext context;
    static const bool ready = context.Init(0);
    (void)ready;
    if (size == 0)
        return 0;
    const unsigned int type = data[0] % 4; // 3 is an invalid type
    // Text types read up to a terminating zero when the length is 0: keep one.
    const std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    const auto *bytes = reinterpret_cast<const unsigned char *>(rest.c_str());
#if defined(FUZZ_CLIENT_INIT)
    CNClientSession client(&context);
    if (client.Init(bytes, unsigned(rest.size()), type, 0)) {
        if (!client.ExportSessionKey(2) || client.GetAlgID() == 0)
            std::abort();
        _NBLOB *message = client.EncryptMessage(bytes, unsigned(rest.size()) + 1, 2);
        if (!message)
            std::abort();
        DestroyBlob(message);
    }
#else
    static const ALG_ID algs[] = {0x6610, 0x660F, 0x660E, 0x6603, 0x6609, 0x6601, 0x6801};
    static const unsigned char key[32] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                          17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
    CCofferSession session(&context);
    session.ImportPlainKey(algs[(data[0] >> 2) % 7], key, sizeof key, 0);
    if (_NBLOB *plain = session.DecryptMessage(bytes, unsigned(rest.size()), type))
        DestroyBlob(plain);
#endif
    return 0;
}
