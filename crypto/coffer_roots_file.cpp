#include "coffer_roots_file.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

namespace {

struct InfoStackFree {
    void operator()(STACK_OF(X509_INFO) *stack) const { sk_X509_INFO_pop_free(stack, X509_INFO_free); }
};
using InfoStack = std::unique_ptr<STACK_OF(X509_INFO), InfoStackFree>;

// The file's bytes and what they parsed to. The parse depends on the bytes
// alone, so the bytes are the key: a file rewritten in place within one clock
// tick, at the same size, is still read anew.
struct ParsedRootsFile {
    std::mutex mutex;
    std::string bytes;
    InfoStack infos;
};

// Never destroyed: the certificates may outlive OpenSSL's own clean-up at exit.
ParsedRootsFile &parsedRootsFile()
{
    static auto *instance = new ParsedRootsFile;
    return *instance;
}

bool readWholeFile(const char *path, std::string &bytes)
{
    FILE *file = std::fopen(path, "r");
    if (!file)
        return false;
    char buffer[16384];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// Parsed through a stream, as the file itself would be: a line read there
// stops at a zero byte, which a memory BIO would keep. The roots are decoded in
// the default context, that of the certificates they sign: a second context
// would build OpenSSL's decoder tables again.
STACK_OF(X509_INFO) *parseRoots(std::string &bytes)
{
    if (bytes.empty())
        return sk_X509_INFO_new_null();
    FILE *stream = fmemopen(bytes.data(), bytes.size(), "r");
    BIO *bio = stream ? BIO_new_fp(stream, BIO_CLOSE) : nullptr;
    if (!bio) {
        if (stream)
            std::fclose(stream);
        return nullptr;
    }
    STACK_OF(X509_INFO) *infos = PEM_X509_INFO_read_bio_ex(bio, nullptr, nullptr, const_cast<char *>(""), nullptr,
                                                           nullptr);
    BIO_free(bio);
    return infos;
}

// Adds the certificates and CRLs of the file in its order, stopping at the
// first that the store refuses.
void addRootsFile(X509_STORE *store, const char *path)
{
    std::string bytes;
    if (!readWholeFile(path, bytes))
        return;
    ParsedRootsFile &parsed = parsedRootsFile();
    std::lock_guard<std::mutex> lock(parsed.mutex);
    if (!parsed.infos || parsed.bytes != bytes) {
        InfoStack infos(parseRoots(bytes));
        if (!infos)
            return;
        parsed.infos = std::move(infos);
        parsed.bytes = std::move(bytes);
    }
    for (int i = 0; i < sk_X509_INFO_num(parsed.infos.get()); ++i) {
        X509_INFO *info = sk_X509_INFO_value(parsed.infos.get(), i);
        if (info->x509 && !X509_STORE_add_cert(store, info->x509))
            return;
        if (info->crl && !X509_STORE_add_crl(store, info->crl))
            return;
    }
}

} // namespace

int coffer_set_default_roots(X509_STORE *store)
{
    if (!X509_STORE_add_lookup(store, X509_LOOKUP_file()))
        return 0;
    const char *file = secure_getenv(X509_get_default_cert_file_env());
    addRootsFile(store, file ? file : X509_get_default_cert_file());

    X509_LOOKUP *lookup = X509_STORE_add_lookup(store, X509_LOOKUP_hash_dir());
    if (!lookup)
        return 0;
    X509_LOOKUP_add_dir(lookup, nullptr, X509_FILETYPE_DEFAULT);

    lookup = X509_STORE_add_lookup(store, X509_LOOKUP_store());
    if (!lookup)
        return 0;
    X509_LOOKUP_add_store_ex(lookup, nullptr, nullptr, nullptr);

    ERR_clear_error();
    return 1;
}
