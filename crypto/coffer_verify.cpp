// Trust evaluation of the server certificate on OpenSSL with the system's CA
// certificates, and the client session's certificate operations.
#include "coffer_verify.h"

#include "coffer_roots_file.h"
#include "crypt_util.h"

#include <openssl/err.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cstring>
#include <memory>

namespace {

const char kUnit[] = "coffer_macosx";

struct StoreFree {
    void operator()(X509_STORE *store) const { X509_STORE_free(store); }
};
struct StoreCtxFree {
    void operator()(X509_STORE_CTX *ctx) const { X509_STORE_CTX_free(ctx); }
};
struct ParamFree {
    void operator()(X509_VERIFY_PARAM *param) const { X509_VERIFY_PARAM_free(param); }
};
struct CertFree {
    void operator()(X509 *cert) const { X509_free(cert); }
};
struct StackFree {
    void operator()(STACK_OF(X509) *stack) const { sk_X509_pop_free(stack, X509_free); }
};

// Maps OpenSSL's verification error to a trust result code.
int32_t trustResultForError(int error)
{
    switch (error) {
    // The user may look at the certificate and go on.
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
        return COFFER_TRUST_RECOVERABLE;
    case X509_V_ERR_OUT_OF_MEM:
    case X509_V_ERR_UNSPECIFIED:
    case X509_V_ERR_STORE_LOOKUP:
        return COFFER_TRUST_OTHER_ERROR;
    // Bad signatures, undecodable fields, invalid CAs, path lengths, unknown
    // critical extensions and everything else: no simple way on.
    default:
        return COFFER_TRUST_FATAL;
    }
}

void reportTrustResult(int32_t code)
{
    switch (code) {
    case COFFER_TRUST_PROCEED:
        return;
    case COFFER_TRUST_INVALID:
        COFFER_REPORT(kUnit, "Invalid setting or result. Usually, this result indicates that the SecTrustEvaluate "
                             "function did not complete successfull.");
        return;
    case COFFER_TRUST_CONFIRM:
        COFFER_REPORT(kUnit, "Confirmation from the user is required before proceeding. This value is termed "
                             "\xe2\x80\x9c" "Ask Permission.\xe2\x80\x9d");
        return;
    case COFFER_TRUST_DENY:
        COFFER_REPORT(kUnit, "The user specified that the certificate should not be trusted. This value is termed "
                             "\xe2\x80\x9c" "Never Trust.\xe2\x80\x9d");
        return;
    case COFFER_TRUST_UNSPECIFIED:
        COFFER_REPORT(kUnit, "The user did not specify a trust setting. This value is termed 'Use System Policy.' "
                             "This is the default user setting.");
        return;
    case COFFER_TRUST_RECOVERABLE:
        COFFER_REPORT(kUnit, "Trust denied; retry after changing settings. For example, if trust is denied because "
                             "the certificate has expired, you can ask the user whether to trust the certificate "
                             "anyway. If the user answers yes, then use the SecTrustSettingsSetTrustSettings "
                             "function to set the user trust setting to kSecTrustResultProceed and call "
                             "SecTrustEvaluate again.");
        return;
    case COFFER_TRUST_FATAL:
        COFFER_REPORT(kUnit, "Trust denied; no simple fix is available. For example, if a certificate cannot be "
                             "verified because it is corrupted, trust cannot be established without replacing the "
                             "certificate.");
        return;
    case COFFER_TRUST_OTHER_ERROR:
        COFFER_REPORT(kUnit, "A failure other than that of trust evaluation; for example, an internal failure of "
                             "the SecTrustEvaluate function.");
        return;
    default:
        COFFER_REPORT(kUnit, "Unknown verify result");
        return;
    }
}

// True when the chain ends in an anchor that carries trust settings of its
// own (a "TRUSTED CERTIFICATE" entry), which an administrator set on purpose.
bool anchorConfiguredExplicitly(X509_STORE_CTX *ctx)
{
    STACK_OF(X509) *chain = X509_STORE_CTX_get0_chain(ctx);
    const int count = chain ? sk_X509_num(chain) : 0;
    if (count == 0)
        return false;
    STACK_OF(ASN1_OBJECT) *trust = X509_get0_trust_objects(sk_X509_value(chain, count - 1));
    return trust && sk_ASN1_OBJECT_num(trust) > 0;
}

} // namespace

signed char coffer_GetCommonName(X509 *pCert, char *buffer, unsigned int bufferSize)
{
    if (!pCert || !buffer || bufferSize == 0)
        return false;
    buffer[0] = '\0';
    X509_NAME *subject = X509_get_subject_name(pCert);
    const int index = subject ? X509_NAME_get_index_by_NID(subject, NID_commonName, -1) : -1;
    X509_NAME_ENTRY *entry = index >= 0 ? X509_NAME_get_entry(subject, index) : nullptr;
    ASN1_STRING *data = entry ? X509_NAME_ENTRY_get_data(entry) : nullptr;
    unsigned char *utf8 = nullptr;
    const int length = data ? ASN1_STRING_to_UTF8(&utf8, data) : -1;
    // A zero byte would cut the name short of what the certificate says.
    const bool ok = length > 0 && length <= 255 && unsigned(length) < bufferSize
                    && std::memchr(utf8, 0, size_t(length)) == nullptr;
    if (ok) {
        std::memcpy(buffer, utf8, size_t(length));
        buffer[length] = '\0';
    }
    OPENSSL_free(utf8);
    return ok;
}

X509 *macosx_SecCertificateCreateWithData(const _NBLOB *pDer)
{
    X509 *cert = nullptr;
    if (pDer && pDer->data && pDer->size > 0) {
        const unsigned char *p = pDer->data;
        cert = d2i_X509(nullptr, &p, long(pDer->size));
        // Trailing bytes after the certificate are not a certificate either.
        if (cert && p != pDer->data + pDer->size) {
            X509_free(cert);
            cert = nullptr;
        }
    }
    if (!cert) {
        ERR_clear_error();
        COFFER_REPORT(kUnit, "Can't create certificate");
    }
    return cert;
}

X509_VERIFY_PARAM *macosx_SecPolicyCreateBasicX509()
{
    X509_VERIFY_PARAM *param = X509_VERIFY_PARAM_new();
    const X509_VERIFY_PARAM *basic = X509_VERIFY_PARAM_lookup("default");
    if (param && basic && X509_VERIFY_PARAM_inherit(param, basic) == 1)
        return param;
    X509_VERIFY_PARAM_free(param);
    return nullptr;
}

namespace {

// The server certificate and its chain as a new stack. A leaf already decoded
// from exactly these bytes is shared instead of decoded again: decoding a
// certificate costs more than the whole trust evaluation.
CofferCertArray *certArray(X509 *decodedLeaf, const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain)
{
    if (chainCount > kCofferMaxChainCerts || (chainCount > 0 && !pChain)) {
        COFFER_REPORT(kUnit, "Can't create chain certificate with data.");
        return nullptr;
    }
    std::unique_ptr<STACK_OF(X509), StackFree> stack(sk_X509_new_null());
    if (!stack)
        return nullptr;
    X509 *cert = decodedLeaf && X509_up_ref(decodedLeaf) ? decodedLeaf : macosx_SecCertificateCreateWithData(pCert);
    if (!cert) {
        COFFER_REPORT(kUnit, "Can't create subject certificate with data.");
        return nullptr;
    }
    if (!sk_X509_push(stack.get(), cert)) {
        X509_free(cert);
        return nullptr;
    }
    for (uint16_t i = 0; i < chainCount; ++i) {
        X509 *chainCert = macosx_SecCertificateCreateWithData(&pChain[i]);
        if (!chainCert) {
            COFFER_REPORT(kUnit, "Can't create chain certificate with data.");
            return nullptr;
        }
        if (!sk_X509_push(stack.get(), chainCert)) {
            X509_free(chainCert);
            return nullptr;
        }
    }
    return stack.release();
}

// True when cert encodes to exactly der: then decoding der again would give
// the same certificate (and der has nothing after it).
bool decodedFrom(X509 *cert, const _NBLOB &der)
{
    if (!cert || !der.data || der.size == 0)
        return false;
    unsigned char *encoded = nullptr;
    const int length = i2d_X509(cert, &encoded);
    const bool same = length > 0 && unsigned(length) == der.size && std::memcmp(encoded, der.data, der.size) == 0;
    OPENSSL_free(encoded);
    return same;
}

signed char verifyCertificate(X509 *decodedLeaf, const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain,
                              int32_t *pCode, CofferHostNameVerifier verifier, void *context);

} // namespace

CofferCertArray *macosx_GetCertArray(const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain)
{
    return certArray(nullptr, pCert, chainCount, pChain);
}

signed char macosx_VerifyCertificate(const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain, int32_t *pCode,
                                     CofferHostNameVerifier verifier, void *context)
{
    return verifyCertificate(nullptr, pCert, chainCount, pChain, pCode, verifier, context);
}

namespace {

signed char verifyCertificate(X509 *decodedLeaf, const _NBLOB *pCert, uint16_t chainCount, const _NBLOB *pChain,
                              int32_t *pCode, CofferHostNameVerifier verifier, void *context)
{
    int32_t ignored = 0;
    int32_t &code = pCode ? *pCode : ignored;
    code = COFFER_TRUST_INVALID;

    std::unique_ptr<X509_VERIFY_PARAM, ParamFree> policy(macosx_SecPolicyCreateBasicX509());
    if (!policy) {
        COFFER_REPORT(kUnit, "Can't create basic x509 policy.");
        return false;
    }
    std::unique_ptr<STACK_OF(X509), StackFree> certs(certArray(decodedLeaf, pCert, chainCount, pChain));
    if (!certs) {
        // Certificates that do not decode cannot be trusted whatever the user says.
        code = COFFER_TRUST_FATAL;
        return false;
    }
    X509 *leaf = sk_X509_value(certs.get(), 0);
    std::unique_ptr<STACK_OF(X509), StackFree> untrusted(sk_X509_new_null());
    for (int i = 1; untrusted && i < sk_X509_num(certs.get()); ++i) {
        X509 *c = sk_X509_value(certs.get(), i);
        if (!X509_up_ref(c) || !sk_X509_push(untrusted.get(), c)) {
            X509_free(c);
            untrusted.reset();
        }
    }
    std::unique_ptr<X509_STORE, StoreFree> store(X509_STORE_new());
    std::unique_ptr<X509_STORE_CTX, StoreCtxFree> ctx(X509_STORE_CTX_new_ex(coffer_libctx(), nullptr));
    if (!untrusted || !store || !ctx || coffer_set_default_roots(store.get()) != 1
        || X509_STORE_CTX_init(ctx.get(), store.get(), leaf, untrusted.get()) != 1) {
        ERR_clear_error();
        COFFER_REPORT(kUnit, "Can not create trust list using certificates.");
        return false;
    }
    X509_STORE_CTX_set0_param(ctx.get(), policy.release());

    const int verified = X509_verify_cert(ctx.get());
    if (verified < 0) {
        code = COFFER_TRUST_OTHER_ERROR;
        ERR_clear_error();
        COFFER_REPORT(kUnit, "Can not evaluate trust list");
    } else if (verified == 1) {
        code = anchorConfiguredExplicitly(ctx.get()) ? COFFER_TRUST_PROCEED : COFFER_TRUST_UNSPECIFIED;
    } else {
        code = trustResultForError(X509_STORE_CTX_get_error(ctx.get()));
    }
    ERR_clear_error();
    reportTrustResult(code);
    if (code != COFFER_TRUST_PROCEED && code != COFFER_TRUST_UNSPECIFIED) {
        COFFER_REPORT(kUnit, "Verifying certificate is failed.");
        return false;
    }

    char commonName[256];
    if (!coffer_GetCommonName(leaf, commonName, sizeof commonName)) {
        code = COFFER_TRUST_NAME_REFUSED;
        COFFER_REPORT(kUnit, "Can not get CN from certificate.");
        return false;
    }
    if (!verifier) {
        code = COFFER_TRUST_NAME_REFUSED;
        COFFER_REPORT(kUnit, "Hostname Verifier is null");
        return false;
    }
    if (!verifier(commonName, context)) {
        code = COFFER_TRUST_NAME_REFUSED;
        COFFER_REPORT(kUnit, "Invalid certificate's hostname.");
        return false;
    }
    return true;
}

} // namespace

signed char CNClientSession::VerifyServerCertificate(void *pResultCode)
{
    int32_t ignored = 0;
    int32_t &code = pResultCode ? *static_cast<int32_t *>(pResultCode) : ignored;
    if (!m_pPeerKeyInfo) {
        code = COFFER_TRUST_INVALID;
        COFFER_REPORT("coffer", "Invalid Certificate");
        return false;
    }
    const _COFFER_KEYHEADER &header = m_pPeerKeyInfo->header;
    // The remembered slots and the evaluation hold the server certificate and
    // at most 10 chain certificates: a longer chain from the network is refused.
    if (header.certCount > kCofferMaxChainCerts) {
        code = COFFER_TRUST_FATAL;
        COFFER_REPORT("coffer", "Invalid Certificate");
        return false;
    }
    if (m_bIgnoreNextSameCert && m_nRememberedCerts > 0 && m_nRememberedCerts == int32_t(header.certCount) + 1) {
        bool same = m_RememberedCerts[0] == m_pPeerKeyInfo->payload;
        for (int i = 0; same && i < int(header.certCount); ++i)
            same = m_RememberedCerts[i + 1] == header.pCerts[i];
        if (same) {
            code = COFFER_TRUST_PROCEED;
            return true;
        }
        // Other certificates than the accepted ones get a normal evaluation.
    }
    // A failed Init may have kept the certificate of an earlier key info.
    X509 *decodedLeaf = decodedFrom(m_pServerCert, m_pPeerKeyInfo->payload) ? m_pServerCert : nullptr;
    if (!verifyCertificate(decodedLeaf, &m_pPeerKeyInfo->payload, header.certCount, header.pCerts, &code,
                           m_pHostNameVerifier, m_pHostNameVerifierContext)) {
        COFFER_REPORT("coffer", "Invalid Certificate");
        return false;
    }
    return true;
}

CofferCertArray *CNClientSession::GetCertificateCFArray()
{
    if (!m_pPeerKeyInfo)
        return nullptr;
    return macosx_GetCertArray(&m_pPeerKeyInfo->payload, m_pPeerKeyInfo->header.certCount,
                               m_pPeerKeyInfo->header.pCerts);
}

void CNClientSession::IgnoreNextSameCertError()
{
    m_bIgnoreNextSameCert = true;
    for (int i = 0; i < m_nRememberedCerts && i < kMaxRememberedCerts; ++i)
        FreeBlob(&m_RememberedCerts[i]);
    m_nRememberedCerts = 0;
    if (!m_pPeerKeyInfo || m_pPeerKeyInfo->header.certCount > kCofferMaxChainCerts)
        return;
    const _COFFER_KEYHEADER &header = m_pPeerKeyInfo->header;
    CopyBlob(&m_RememberedCerts[0], &m_pPeerKeyInfo->payload);
    for (uint16_t i = 0; i < header.certCount; ++i)
        CopyBlob(&m_RememberedCerts[i + 1], &header.pCerts[i]);
    m_nRememberedCerts = int32_t(header.certCount) + 1;
}
