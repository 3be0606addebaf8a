// The symmetric cipher step without allocation, for the sessions' hot path.
#pragma once

#include "coffer_openssl.h"

// Encrypts or decrypts into out, which holds coffer_cipher_capacity() bytes;
// reports and answers false on any failure.
[[nodiscard]] bool coffer_cipher_into(bool encrypt, const _NBLOB *pKey, const _NBLOB *pIV, ALG_ID algId,
                                      const unsigned char *data, unsigned int length, unsigned char *out,
                                      unsigned int *pOutLength);
// Room the output of a cipher step over length bytes needs; 0 when that overflows.
unsigned int coffer_cipher_capacity(ALG_ID algId, unsigned int length);
