// The system's CA certificates for a trust evaluation: the lookups of
// X509_STORE_set_default_paths (SSL_CERT_FILE or the default file, then
// SSL_CERT_DIR or the default directory as a hashed directory and as a store),
// with the file read once for each content it has. A distribution's bundle
// holds some 150 certificates, and decoding them in full costs ~200 M
// instructions on OpenSSL 3.0 (the key of each): a bundle is read without its
// keys and a certificate decoded in full when an evaluation asks for its
// subject, which gives the store the certificates it would have looked up.
#pragma once

typedef struct x509_store_st X509_STORE;

// 1 when the lookups were added, 0 when one could not be; a file that does not
// read or parse adds no certificate, as before.
int coffer_set_default_roots(X509_STORE *store);
