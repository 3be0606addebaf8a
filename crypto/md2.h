// MD2 (RFC 1319), which OpenSSL 3 no longer ships; the certificate hash of the
// key exchange still names it.
#pragma once

#include <cstddef>

constexpr size_t kMd2DigestLength = 16;

void coffer_md2(const unsigned char *data, size_t length, unsigned char digest[kMd2DigestLength]);
