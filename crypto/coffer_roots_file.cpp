#include "coffer_roots_file.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/provider.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct InfoStackFree {
    void operator()(STACK_OF(X509_INFO) *stack) const { sk_X509_INFO_pop_free(stack, X509_INFO_free); }
};
using InfoStack = std::unique_ptr<STACK_OF(X509_INFO), InfoStackFree>;

// One content of the roots file. A bundle's certificates are read without
// their keys, which is what makes decoding one expensive, and a certificate
// is decoded in full the first time a trust evaluation asks for its subject.
// A file of a few is decoded in full at once: the context that reads without
// keys costs more to set up than decoding a few certificates.
struct RootsContent {
    std::mutex mutex;
    // Held by the file's record while current and by each store's lookup.
    // Counted by hand: shared_ptr would export the standard library's type
    // information from this library.
    std::atomic<int> references{1};
    bool keyless = false;
    InfoStack infos;          // in the file's order
    std::vector<X509 *> full; // per entry of a keyless read, once decoded in full
    ~RootsContent()
    {
        for (X509 *cert : full)
            X509_free(cert);
    }
    RootsContent *retain()
    {
        references.fetch_add(1, std::memory_order_relaxed);
        return this;
    }
    void release()
    {
        if (references.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    // The certificate of entry `index` decoded in full, with the trust
    // settings its block carried; null when it has none.
    X509 *fullCertificate(int index);
};

X509 *RootsContent::fullCertificate(int index)
{
    if (!keyless)
        return sk_X509_INFO_value(infos.get(), index)->x509;
    std::lock_guard<std::mutex> lock(mutex);
    if (full[size_t(index)])
        return full[size_t(index)];
    X509 *keyless = sk_X509_INFO_value(infos.get(), index)->x509;
    unsigned char *der = nullptr;
    const int length = keyless ? i2d_X509_AUX(keyless, &der) : 0;
    if (length <= 0)
        return nullptr;
    const unsigned char *p = der;
    full[size_t(index)] = d2i_X509_AUX(nullptr, &p, length);
    OPENSSL_free(der);
    return full[size_t(index)];
}

// The file's bytes and what they parsed to. The parse depends on the bytes
// alone, so the bytes are the key: a file rewritten in place within one clock
// tick, at the same size, is still read anew.
struct ParsedRootsFile {
    std::mutex mutex;
    std::string bytes;
    RootsContent *content = nullptr; // one reference
};

// Never destroyed: the certificates may outlive OpenSSL's own clean-up at exit.
ParsedRootsFile &parsedRootsFile()
{
    static auto *instance = new ParsedRootsFile;
    return *instance;
}

// A context with no algorithms: a certificate decoded there keeps its key
// undecoded (OpenSSL reads keys opportunistically), and accepts or refuses
// the same bytes as in the default context.
OSSL_LIB_CTX *keylessContext()
{
    static OSSL_LIB_CTX *context = [] {
        OSSL_LIB_CTX *made = OSSL_LIB_CTX_new();
        // Loaded explicitly, the null provider keeps the default one from
        // being loaded on first use.
        if (made && !OSSL_PROVIDER_load(made, "null")) {
            OSSL_LIB_CTX_free(made);
            made = nullptr;
        }
        return made;
    }();
    return context;
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

// At most this many certificate blocks are decoded in full when read.
constexpr size_t kDecodedAtOnceMost = 4;

size_t blockCount(const std::string &bytes)
{
    size_t count = 0;
    for (size_t at = bytes.find("-----BEGIN "); at != std::string::npos; at = bytes.find("-----BEGIN ", at + 1))
        ++count;
    return count;
}

// Parsed through a stream, as the file itself would be: a line read there
// stops at a zero byte, which a memory BIO would keep. Decoded in full, the
// roots are decoded in the default context, that of the certificates they
// sign: another would build OpenSSL's decoder tables again.
STACK_OF(X509_INFO) *parseRoots(std::string &bytes, OSSL_LIB_CTX *context)
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
    STACK_OF(X509_INFO) *infos = PEM_X509_INFO_read_bio_ex(bio, nullptr, nullptr, const_cast<char *>(""), context,
                                                           nullptr);
    BIO_free(bio);
    return infos;
}

// The file's current content, parsed once for each content it has; the
// caller holds a reference.
RootsContent *rootsContent(const char *path)
{
    std::string bytes;
    if (!readWholeFile(path, bytes))
        return nullptr;
    ParsedRootsFile &parsed = parsedRootsFile();
    std::lock_guard<std::mutex> lock(parsed.mutex);
    if (!parsed.content || parsed.bytes != bytes) {
        const bool keyless = blockCount(bytes) > kDecodedAtOnceMost;
        OSSL_LIB_CTX *context = keyless ? keylessContext() : nullptr;
        if (keyless && !context)
            return nullptr;
        InfoStack infos(parseRoots(bytes, context));
        if (!infos)
            return nullptr;
        auto *content = new RootsContent;
        content->keyless = keyless;
        content->full.assign(size_t(sk_X509_INFO_num(infos.get())), nullptr);
        content->infos = std::move(infos);
        if (parsed.content)
            parsed.content->release();
        parsed.content = content;
        parsed.bytes = std::move(bytes);
    }
    return parsed.content->retain();
}

RootsContent *contentOf(X509_LOOKUP *lookup)
{
    return static_cast<RootsContent *>(X509_LOOKUP_get_method_data(lookup));
}

void freeLookup(X509_LOOKUP *lookup)
{
    if (RootsContent *content = contentOf(lookup))
        content->release();
}

// As the hashed directory does: the file's certificates of that subject go
// into the store, and the answer is one of them from the store.
int certificatesBySubject(X509_LOOKUP *lookup, X509_LOOKUP_TYPE type, const X509_NAME *name, X509_OBJECT *found)
{
    RootsContent *content = contentOf(lookup);
    X509_STORE *store = X509_LOOKUP_get_store(lookup);
    if (!content || !store || type != X509_LU_X509 || !name)
        return 0;
    bool added = false;
    for (int i = 0; i < sk_X509_INFO_num(content->infos.get()); ++i) {
        X509 *keyless = sk_X509_INFO_value(content->infos.get(), i)->x509;
        if (!keyless || X509_NAME_cmp(X509_get_subject_name(keyless), name) != 0)
            continue;
        X509 *cert = content->fullCertificate(i);
        if (cert && X509_STORE_add_cert(store, cert))
            added = true;
    }
    if (!added || !X509_STORE_lock(store))
        return 0;
    X509_OBJECT *stored = X509_OBJECT_retrieve_by_subject(X509_STORE_get0_objects(store), type, name);
    X509 *cert = stored ? X509_OBJECT_get0_X509(stored) : nullptr;
    const int ok = cert && X509_OBJECT_set1_X509(found, cert);
    // The caller (X509_STORE_CTX_get_by_subject) takes a reference of its own
    // on what it is handed, as it does on the store's objects: the one set1
    // took would never be given back, and the certificate would outlive its
    // store and the roots content (X509_LOOKUP_meth_new(3) asks for this free).
    if (ok)
        X509_free(cert);
    X509_STORE_unlock(store);
    return ok;
}

X509_LOOKUP_METHOD *rootsFileMethod()
{
    static X509_LOOKUP_METHOD *method = [] {
        X509_LOOKUP_METHOD *made = X509_LOOKUP_meth_new("roots file, certificates decoded when asked for");
        if (made) {
            X509_LOOKUP_meth_set_free(made, freeLookup);
            X509_LOOKUP_meth_set_get_by_subject(made, certificatesBySubject);
        }
        return made;
    }();
    return method;
}

// The certificates of a bundle become the store's by subject, when a trust
// evaluation asks for one; those of a file of a few, and every CRL, are added
// now in the file's order, up to the first the store refuses.
bool addRootsFile(X509_STORE *store, const char *path)
{
    X509_LOOKUP_METHOD *method = rootsFileMethod();
    X509_LOOKUP *lookup = method ? X509_STORE_add_lookup(store, method) : nullptr;
    if (!lookup)
        return false;
    RootsContent *content = rootsContent(path);
    if (!content)
        return true; // a file that does not read or parse adds no certificate
    // A store set up twice has the one lookup: it takes the newer content.
    RootsContent *previous = contentOf(lookup);
    if (!X509_LOOKUP_set_method_data(lookup, content)) {
        content->release();
        return false;
    }
    if (previous)
        previous->release();
    for (int i = 0; i < sk_X509_INFO_num(content->infos.get()); ++i) {
        X509_INFO *info = sk_X509_INFO_value(content->infos.get(), i);
        if (!content->keyless && info->x509 && !X509_STORE_add_cert(store, info->x509))
            break;
        if (info->crl && !X509_STORE_add_crl(store, info->crl))
            break;
    }
    return true;
}

} // namespace

int coffer_set_default_roots(X509_STORE *store)
{
    const char *file = secure_getenv(X509_get_default_cert_file_env());
    if (!addRootsFile(store, file ? file : X509_get_default_cert_file()))
        return 0;

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
