// Server certificate verification on a test PKI made at test time: trust
// result codes, the host-name verifier, the remembered-certificate shortcut,
// the path on a given roots file and the reversed-string helpers.

#include "CofferTestSupport.h"
#include "coffer.h"
#include "coffer_verify.h"

#include <gtest/gtest.h>

#include <openssl/x509.h>

#include <cstdlib>

using namespace coffer_test;

namespace {

constexpr char kDomain[] = ".example";
// A certificate block whose DER is no certificate.
constexpr char kUndecodableBlock[] = "-----BEGIN CERTIFICATE-----\nMAMCAQA=\n-----END CERTIFICATE-----\n";

// The messenger's kind of verifier: the name must end in the portal's
// 8-character domain. Records every name it was asked about.
struct Verifier {
    std::vector<std::string> names;
    static signed char check(const char *hostName, void *context)
    {
        static_cast<Verifier *>(context)->names.push_back(hostName);
        return strevncmp(hostName, kDomain, 8) == 0;
    }
};

class VerifyCertificateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        pki = new TempDir;
        const auto made = run(std::string(PARLEY_PYTHON) + " " + quote(PARLEY_CRYPTO_SCRIPTS "/make_test_pki.py") + " "
                              + quote(pki->path()));
        ASSERT_EQ(made.status, 0);
        // The root again, with trust settings of its own.
        const auto trusted = run(quote(opensslTool()) + " x509 -in " + quote(pki->file("ca.pem"))
                                 + " -addtrust anyExtendedKeyUsage -trustout -out " + quote(pki->file("ca-trusted.pem")));
        ASSERT_EQ(trusted.status, 0);
        writeFile(pki->file("empty.pem"), Bytes());
        run("mkdir -p " + quote(pki->file("nocerts")));
        // The root as the only certificate of a hashed certificate directory.
        ASSERT_EQ(run("mkdir -p " + quote(pki->file("hashed")) + " && cp " + quote(pki->file("ca.pem")) + " "
                      + quote(pki->file("hashed")) + " && " + quote(opensslTool()) + " rehash "
                      + quote(pki->file("hashed")))
                      .status,
                  0);
    }
    static void TearDownTestSuite()
    {
        delete pki;
        pki = nullptr;
    }

    void SetUp() override { useRoots("ca.pem"); }
    void TearDown() override
    {
        unsetenv("SSL_CERT_FILE");
        unsetenv("SSL_CERT_DIR");
    }

    // The system's CA certificates become exactly this file and directory.
    static void useRoots(const std::string &file, const std::string &directory = "nocerts")
    {
        setenv("SSL_CERT_FILE", pki->file(file).c_str(), 1);
        setenv("SSL_CERT_DIR", pki->file(directory).c_str(), 1);
    }

    // A version 3 server key info written by the independent Python server.
    static std::string keyInfo(const std::string &leaf, const std::vector<std::string> &chain,
                               const std::string &algs = "6610,6801")
    {
        std::string command = serverScript() + " keyinfo --version 3 --algs " + algs + " --random " + std::string(32, '5')
                              + " --cert " + quote(pki->file(leaf));
        for (const auto &c : chain)
            command += " --chain " + quote(pki->file(c));
        const auto result = run(command);
        EXPECT_EQ(result.status, 0);
        return result.output.substr(0, result.output.find('\n'));
    }

    // "openssl verify" of the same certificates against the same roots.
    static bool opensslVerifies(const std::string &leaf, const std::vector<std::string> &chain, const std::string &roots)
    {
        const std::string tool = quote(opensslTool());
        std::string untrusted;
        for (const auto &c : chain)
            untrusted += "(" + tool + " x509 -inform DER -in " + quote(pki->file(c)) + " 2>/dev/null || true);";
        std::string command = "{ " + untrusted + " true; } > " + quote(pki->file("untrusted.pem")) + " && " + tool
                              + " x509 -inform DER -in " + quote(pki->file(leaf)) + " -out " + quote(pki->file("leaf.pem"))
                              + " 2>/dev/null && " + tool + " verify -CAfile " + quote(pki->file(roots))
                              + " -no-CApath";
        if (!chain.empty())
            command += " -untrusted " + quote(pki->file("untrusted.pem"));
        command += " " + quote(pki->file("leaf.pem")) + " > /dev/null 2>&1";
        return run(command).status == 0;
    }

    static std::vector<std::string> longChain(int length)
    {
        std::vector<std::string> chain;
        for (int i = length; i >= 1; --i)
            chain.push_back("long-" + std::to_string(i) + ".der");
        return chain;
    }

    // A client session that has read the key info.
    std::unique_ptr<CNClientSession> session(const std::string &leaf, const std::vector<std::string> &chain,
                                             bool withVerifier = true)
    {
        auto s = std::make_unique<CNClientSession>(&context);
        if (withVerifier)
            s->SetHostNameVerifier(&Verifier::check, &verifier);
        const std::string info = keyInfo(leaf, chain);
        EXPECT_TRUE(s->Init(bytesOf(info).data(), unsigned(info.size()), COFFER_BLOB_BASE64, 0));
        return s;
    }

    // leaf.der with inter.der evaluated against the roots in use: whether it
    // passes, and the trust code.
    void expectVerdict(bool ok, int32_t expectedCode)
    {
        auto s = session("leaf.der", {"inter.der"});
        int32_t code = 0;
        EXPECT_EQ(s->VerifyServerCertificate(&code), ok);
        EXPECT_EQ(code, expectedCode);
    }

    static TempDir *pki;
    CCofferContext context;
    Verifier verifier;

    void SetUpContext() { ASSERT_TRUE(context.Init(0)); }
};

TempDir *VerifyCertificateTest::pki = nullptr;

} // namespace

TEST_F(VerifyCertificateTest, TrustResultsFollowTheChain)
{
    SetUpContext();
    const struct {
        const char *name;
        std::string leaf;
        std::vector<std::string> chain;
        const char *roots;
        bool ok;
        int32_t code;
        bool refusedUnevaluated = false; // refused before any trust evaluation
    } cases[] = {
        {"valid chain", "leaf.der", {"inter.der"}, "ca.pem", true, 4},
        {"anchor with its own trust settings", "leaf.der", {"inter.der"}, "ca-trusted.pem", true, 1},
        {"ten chain certificates", "long10-leaf.der", longChain(10), "ca.pem", true, 4},
        {"expired", "expired.der", {"inter.der"}, "ca.pem", false, 5},
        {"not yet valid", "future.der", {"inter.der"}, "ca.pem", false, 5},
        {"self-signed", "selfsigned.der", {}, "ca.pem", false, 5},
        {"issuer missing", "leaf.der", {}, "ca.pem", false, 5},
        {"unknown root", "leaf.der", {"inter.der"}, "empty.pem", false, 5},
        {"bad signature", "badsig.der", {"inter.der"}, "ca.pem", false, 6},
        {"unknown critical extension", "critical.der", {"inter.der"}, "ca.pem", false, 6},
        {"issuer is not a CA", "notca-leaf.der", {"notca.der"}, "ca.pem", false, 6},
        {"path length exceeded", "pathlen-leaf.der", {"pathlen-sub.der", "pathlen0.der"}, "ca.pem", false, 6},
        {"eleven chain certificates", "long-leaf.der", longChain(11), "ca.pem", false, 6, true},
        {"chain certificate that does not decode", "leaf.der", {"inter.der", "ca.pem"}, "ca.pem", false, 6, true},
        {"wrong name", "wrongname.der", {"inter.der"}, "ca.pem", false, -2},
        {"zero byte in the name", "nulname.der", {"inter.der"}, "ca.pem", false, -2},
        {"name longer than 255 bytes", "longname.der", {"inter.der"}, "ca.pem", false, -2},
        {"no common name", "nocn.der", {"inter.der"}, "ca.pem", false, -2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        useRoots(c.roots);
        auto s = session(c.leaf, c.chain);
        int32_t code = 12345;
        ErrorLog errors;
        EXPECT_EQ(s->VerifyServerCertificate(&code), c.ok);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(errors.contains("Invalid Certificate"), !c.ok);
        // The openssl tool agrees on whether the chain itself is trusted.
        if (!c.refusedUnevaluated) {
            const bool trusted = code == 1 || code == 4 || code == -2;
            EXPECT_EQ(opensslVerifies(c.leaf, c.chain, c.roots), trusted);
        }
    }
    EXPECT_NE(std::find(verifier.names.begin(), verifier.names.end(), "talk.parley.example"), verifier.names.end());
    EXPECT_NE(std::find(verifier.names.begin(), verifier.names.end(), "talk.parley.invalid"), verifier.names.end());
}

TEST_F(VerifyCertificateTest, RootsComeFromTheCertificateFileThenTheDirectory)
{
    SetUpContext();
    const struct {
        const char *name;
        const char *file;
        const char *directory;
        bool ok;
        int32_t code;
    } cases[] = {
        {"root in the directory only", "empty.pem", "hashed", true, 4},
        {"no certificate file", "none.pem", "hashed", true, 4},
        {"root in neither", "empty.pem", "nocerts", false, 5},
        {"the file's anchor comes first", "ca-trusted.pem", "hashed", true, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        useRoots(c.file, c.directory);
        expectVerdict(c.ok, c.code);
    }
}

TEST_F(VerifyCertificateTest, RootsFileIsReadAgainForEachEvaluation)
{
    SetUpContext();
    const std::string root = readFile(pki->file("ca.pem"));
    const std::string trustedRoot = readFile(pki->file("ca-trusted.pem"));
    // A certificate block that does not decode makes the whole file unusable.
    const std::string broken = kUndecodableBlock;
    // A file's line ends at a zero byte: what follows it on the line is not read.
    std::string withZeroByte = root;
    withZeroByte[root.find('\n', root.find('\n') + 1) - 10] = '\0';
    std::string zeroAfterTheEnd = root;
    zeroAfterTheEnd.insert(root.rfind('\n'), std::string("\0 trailing text", 15));
    const struct {
        const char *name;
        std::string content;
        bool ok;
        int32_t code;
    } steps[] = {
        {"the root", root, true, 4},
        {"nothing, at the same size", std::string(root.size(), '\n'), false, 5},
        {"the root again", root, true, 4},
        {"the root with trust settings", trustedRoot, true, 1},
        {"an empty file", "", false, 5},
        {"a broken certificate, then the root", broken + root, false, 5},
        {"the root, then a broken certificate", root + broken, false, 5},
        {"a zero byte within a line of the root", withZeroByte, false, 5},
        {"a zero byte and text after the end line", zeroAfterTheEnd, true, 4},
        {"the root once more", root, true, 4},
    };
    useRoots("roots.pem");
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        writeFile(pki->file("roots.pem"), bytesOf(step.content));
        expectVerdict(step.ok, step.code);
    }
}

// A bundle of many roots is read without its keys, and a root decoded in full
// when an evaluation asks for its subject: every outcome must be the one the
// openssl tool gives with the same bundle, wherever the root sits in it and
// whatever else shares its name.
TEST_F(VerifyCertificateTest, ABundleOfRootsTrustsAsTheOpensslToolDoes)
{
    SetUpContext();
    const std::string fillers = readFile(pki->file("fillers.pem"));
    const std::string root = readFile(pki->file("ca.pem"));
    const std::string broken = kUndecodableBlock;
    const size_t half = fillers.find("-----BEGIN", fillers.size() / 2);
    const struct {
        const char *name;
        std::string bundle;
        bool ok;
        int32_t code;
    } cases[] = {
        {"the root among others", fillers.substr(0, half) + root + fillers.substr(half), true, 4},
        {"others only", fillers, false, 5},
        // Without key identifiers the first of the name in the file is taken,
        // as the tool takes it: the order of the file is kept.
        {"the root after one of its name with another key",
         fillers + readFile(pki->file("impostor-ca.pem")) + root, false, 6},
        {"the root before one of its name with another key",
         fillers + root + readFile(pki->file("impostor-ca.pem")), true, 4},
        {"the root with trust settings among others", fillers + readFile(pki->file("ca-trusted.pem")), true, 1},
        {"a block that does not decode", fillers + broken + root, false, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(pki->file("bundle.pem"), bytesOf(c.bundle));
        useRoots("bundle.pem");
        for (int round = 0; round < 2; ++round) { // the second reads the same content again
            expectVerdict(c.ok, c.code);
        }
        EXPECT_EQ(opensslVerifies("leaf.der", {"inter.der"}, "bundle.pem"), c.ok);
    }
}

TEST_F(VerifyCertificateTest, ReportsTheOutcome)
{
    SetUpContext();
    {
        auto s = session("leaf.der", {"inter.der"});
        ErrorLog errors;
        int32_t code = 0;
        EXPECT_TRUE(s->VerifyServerCertificate(&code));
        EXPECT_TRUE(errors.contains("The user did not specify a trust setting. This value is termed 'Use System "
                                    "Policy.' This is the default user setting."));
    }
    {
        auto s = session("expired.der", {"inter.der"});
        ErrorLog errors;
        int32_t code = 0;
        EXPECT_FALSE(s->VerifyServerCertificate(&code));
        EXPECT_TRUE(errors.contains("Verifying certificate is failed."));
        EXPECT_EQ(errors.messages().front().rfind("Trust denied; retry after changing settings.", 0), 0u);
    }
    {
        auto s = session("wrongname.der", {"inter.der"});
        ErrorLog errors;
        int32_t code = 0;
        EXPECT_FALSE(s->VerifyServerCertificate(&code));
        EXPECT_TRUE(errors.contains("Invalid certificate's hostname."));
    }
    {
        auto s = session("leaf.der", {"inter.der"}, false);
        ErrorLog errors;
        int32_t code = 0;
        EXPECT_FALSE(s->VerifyServerCertificate(&code));
        EXPECT_EQ(code, -2);
        EXPECT_TRUE(errors.contains("Hostname Verifier is null"));
    }
    {
        CNClientSession notStarted(&context);
        int32_t code = 42;
        EXPECT_FALSE(notStarted.VerifyServerCertificate(&code));
        EXPECT_EQ(code, 0);
    }
}

TEST_F(VerifyCertificateTest, AcceptedCertificatesPassUnevaluatedNextTime)
{
    SetUpContext();
    const std::string info = keyInfo("selfsigned.der", {"inter.der"});
    CNClientSession s(&context);
    s.SetHostNameVerifier(&Verifier::check, &verifier);
    ASSERT_TRUE(s.Init(bytesOf(info).data(), unsigned(info.size()), COFFER_BLOB_BASE64, 0));
    int32_t code = 0;
    EXPECT_FALSE(s.VerifyServerCertificate(&code));
    EXPECT_EQ(code, 5);

    s.IgnoreNextSameCertError();
    ErrorLog errors;
    code = 0;
    EXPECT_TRUE(s.VerifyServerCertificate(&code));
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(errors.messages().empty());

    // Other certificates with a chain of the same length get a normal evaluation.
    const std::string otherInfo = keyInfo("expired.der", {"inter.der"});
    ASSERT_TRUE(s.Init(bytesOf(otherInfo).data(), unsigned(otherInfo.size()), COFFER_BLOB_BASE64, 0));
    code = 0;
    EXPECT_FALSE(s.VerifyServerCertificate(&code));
    EXPECT_EQ(code, 5);
    EXPECT_TRUE(errors.contains("Verifying certificate is failed."));
    // And a good certificate passes on its own merits.
    const std::string goodInfo = keyInfo("leaf.der", {"inter.der"});
    ASSERT_TRUE(s.Init(bytesOf(goodInfo).data(), unsigned(goodInfo.size()), COFFER_BLOB_BASE64, 0));
    EXPECT_TRUE(s.VerifyServerCertificate(&code));
    EXPECT_EQ(code, 4);
}

TEST_F(VerifyCertificateTest, EvaluatesTheCertificateOfTheLastKeyInfoRead)
{
    SetUpContext();
    // Bytes after the server certificate: the session takes the certificate,
    // the evaluation refuses it as undecodable.
    Bytes trailing = bytesOf(readFile(pki->file("leaf.der")));
    trailing.push_back(0);
    writeFile(pki->file("leaf-trailing.der"), trailing);
    {
        auto s = session("leaf-trailing.der", {"inter.der"});
        int32_t code = 0;
        EXPECT_FALSE(s->VerifyServerCertificate(&code));
        EXPECT_EQ(code, 6);
    }
    // A key info refused for its algorithms still replaces the one read before.
    const struct {
        const char *name;
        std::string first;
        std::string second;
        bool ok;
        int32_t code;
    } cases[] = {
        {"good, then expired", "leaf.der", "expired.der", false, 5},
        {"expired, then good", "expired.der", "leaf.der", true, 4},
        {"good, then trailing bytes", "leaf.der", "leaf-trailing.der", false, 6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        auto s = session(c.first, {"inter.der"});
        const std::string refused = keyInfo(c.second, {"inter.der"}, "6602");
        EXPECT_FALSE(s->Init(bytesOf(refused).data(), unsigned(refused.size()), COFFER_BLOB_BASE64, 0));
        int32_t code = 0;
        EXPECT_EQ(s->VerifyServerCertificate(&code), c.ok);
        EXPECT_EQ(code, c.code);
    }
}

TEST_F(VerifyCertificateTest, TooLongAChainIsNeverRemembered)
{
    SetUpContext();
    auto s = session("long-leaf.der", longChain(11));
    int32_t code = 0;
    EXPECT_FALSE(s->VerifyServerCertificate(&code));
    EXPECT_EQ(code, 6);
    s->IgnoreNextSameCertError();
    EXPECT_FALSE(s->VerifyServerCertificate(&code));
    EXPECT_EQ(code, 6);
    EXPECT_EQ(s->GetCertificateCFArray(), nullptr);
}

TEST_F(VerifyCertificateTest, CertificateArrayHoldsTheServerCertificateThenTheChain)
{
    SetUpContext();
    const struct {
        std::string leaf;
        std::vector<std::string> chain;
    } cases[] = {{"leaf.der", {"inter.der"}}, {"selfsigned.der", {}}, {"long10-leaf.der", longChain(10)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.leaf);
        auto s = session(c.leaf, c.chain);
        STACK_OF(X509) *array = s->GetCertificateCFArray();
        ASSERT_NE(array, nullptr);
        ASSERT_EQ(size_t(sk_X509_num(array)), c.chain.size() + 1);
        for (int i = 0; i < sk_X509_num(array); ++i) {
            unsigned char *der = nullptr;
            const int length = i2d_X509(sk_X509_value(array, i), &der);
            EXPECT_EQ(Bytes(der, der + length), bytesOf(readFile(pki->file(i == 0 ? c.leaf : c.chain[size_t(i - 1)]))));
            OPENSSL_free(der);
        }
        sk_X509_pop_free(array, X509_free);
    }
}

TEST_F(VerifyCertificateTest, VerifiesAgainstAGivenRootsFile)
{
    auto blob = [](const std::string &file, Bytes &storage) {
        storage = bytesOf(readFile(pki->file(file)));
        return _NBLOB{uint32_t(storage.size()), storage.data()};
    };
    Bytes leafBytes, interBytes, wrongBytes;
    const _NBLOB leaf = blob("leaf.der", leafBytes);
    const _NBLOB inter = blob("inter.der", interBytes);
    const _NBLOB wrong = blob("wrongname.der", wrongBytes);
    const struct {
        const char *name;
        const _NBLOB *cert;
        uint16_t chainCount;
        std::string roots;
        bool withVerifier;
        bool ok;
        const char *reason;
    } cases[] = {
        {"valid", &leaf, 1, pki->file("ca.pem"), true, true, ""},
        {"no intermediate", &leaf, 0, pki->file("ca.pem"), true, false, "Can not verify certificate chain."},
        {"other roots", &leaf, 1, pki->file("empty.pem"), true, false, "Can not verify certificate chain."},
        {"missing roots file", &leaf, 1, pki->file("none.pem"), true, false, "Can not load root CA certficates file."},
        {"wrong name", &wrong, 1, pki->file("ca.pem"), true, false, "Invalid Hostname."},
        {"no verifier", &leaf, 1, pki->file("ca.pem"), false, false, "Hostname Verifier is null"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog errors;
        EXPECT_EQ(openssl_VerifyCertificate(c.cert, c.chainCount, &inter, c.roots.c_str(),
                                            c.withVerifier ? &Verifier::check : nullptr, &verifier),
                  c.ok);
        if (!c.ok) {
            EXPECT_TRUE(errors.contains(c.reason));
        }
    }
    ErrorLog errors;
    EXPECT_FALSE(openssl_VerifyCertificate(&leaf, 0, nullptr, pki->file("ca.pem").c_str(), &Verifier::check, &verifier));
    // The callback names the certificate and OpenSSL's reason.
    bool named = false;
    for (const auto &m : errors.messages())
        named = named || m.rfind("error 20 at 0 depth lookup: unable to get local issuer certificate", 0) == 0;
    EXPECT_TRUE(named);
}

TEST_F(VerifyCertificateTest, ReadsCertificateFiles)
{
    STACK_OF(X509) *stack = nullptr;
    EXPECT_TRUE(openssl_ReadCertsFromFile(pki->file("ca.pem").c_str(), &stack));
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(sk_X509_num(stack), 1);
    sk_X509_pop_free(stack, X509_free);
    X509 *cert = nullptr;
    EXPECT_TRUE(openssl_ReadCertFromFile(pki->file("ca.pem").c_str(), &cert));
    char name[256];
    EXPECT_TRUE(coffer_GetCommonName(cert, name, sizeof name));
    EXPECT_STREQ(name, "Parley Test Root");
    X509_free(cert);
    ErrorLog errors;
    EXPECT_FALSE(openssl_ReadCertFromFile(pki->file("none.pem").c_str(), &cert));
    EXPECT_TRUE(errors.contains("Can not read certficate from file: " + pki->file("none.pem")));
    EXPECT_FALSE(openssl_InsertCertsIntoStore(nullptr, nullptr));
    EXPECT_TRUE(errors.contains("Certificate store file name is null"));
    const Bytes garbage = fromHex("300102");
    const _NBLOB bad = {uint32_t(garbage.size()), const_cast<unsigned char *>(garbage.data())};
    EXPECT_FALSE(openssl_ReadCertsFromMemory(1, &bad, &stack));
    EXPECT_EQ(stack, nullptr);
    EXPECT_TRUE(errors.contains("Can not read cert from memory."));
}

TEST(ReversedStrings, CompareNameSuffixes)
{
    const struct {
        const char *a;
        const char *b;
        int n;
        bool equal;
    } cases[] = {
        {"talk.parley.example", ".example", 8, true},
        {"x.example", ".example", 8, true},
        {"example", ".example", 8, false},
        {"talk.parley.invalid", ".example", 8, false},
        {"talk.parley.example", ".example", 4, true},
        {"abc", "xbc", 2, true},
        {"abc", "xbc", 3, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(strevncmp(c.a, c.b, c.n) == 0, c.equal);
    }
    char buffer[16] = "abc";
    EXPECT_STREQ(streverse(buffer, buffer), "cba");
    char out[16] = "zzz";
    EXPECT_STREQ(streverse("", out), "");
    EXPECT_STREQ(streverse("hello", out), "olleh");
}
