// The server side of the key exchange against the library's own client, and
// against a client and a server written apart in Python.

#include "CofferTestSupport.h"
#include "coffer.h"
#include "coffer_server.h"
#include "info_header.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace coffer_test;

namespace {

std::string clientScript()
{
    return std::string(PARLEY_PYTHON) + " " + quote(PARLEY_CRYPTO_SCRIPTS "/fake_client.py");
}

// "name=value" lines of a script's output.
std::map<std::string, std::string> fields(const std::string &output)
{
    std::map<std::string, std::string> out;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            out[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

std::string concatenated(const std::string &pem, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += pem;
    return out;
}

class ServerSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = makePki(dir, "server", 1024, "server.example");
        other = makePki(dir, "other", 1024, "other.example");
        chainPem = dir.file("chain.pem");
        writeFile(chainPem, bytesOf(readFile(other.certPem) + readFile(server.certPem)));
        ASSERT_TRUE(context.ReadPvkAndCertFromFile(server.keyPem.c_str(), nullptr, server.certPem.c_str(),
                                                   chainPem.c_str()));
        ASSERT_TRUE(context.Init());
    }

    // The client's answer made by the Python client to this session's key info.
    std::map<std::string, std::string> pythonAnswer(CNServerSession &session, const std::string &options = "")
    {
        _NBLOB *info = session.GetServerKeyInfo(COFFER_BLOB_BASE64, 3);
        EXPECT_NE(info, nullptr);
        const auto result = run(clientScript() + " answer --keyinfo " + quote(textOf(info)) + " " + options);
        EXPECT_EQ(result.status, 0);
        return fields(result.output);
    }

    TempDir dir;
    TestPki server;
    TestPki other;
    std::string chainPem;
    CNServerContext context;
};

} // namespace

TEST_F(ServerSessionTest, InteroperatesWithTheLibrarysClient)
{
    for (unsigned int type : {COFFER_BLOB_RAW, COFFER_BLOB_BASE16, COFFER_BLOB_BASE64}) {
        SCOPED_TRACE(type);
        CNServerSession serverSession(&context);
        _NBLOB *serverInfo = serverSession.GetServerKeyInfo(type, 3);
        ASSERT_NE(serverInfo, nullptr);

        auto *clientContext = new CCofferContext;
        ASSERT_TRUE(clientContext->Init(0));
        CNClientSession client(clientContext);
        ASSERT_TRUE(client.Init(serverInfo->data, serverInfo->size, type, 0));
        _NBLOB *answer = client.ExportSessionKey(type);
        ASSERT_NE(answer, nullptr);
        ASSERT_TRUE(serverSession.Init(answer->data, answer->size, type, 0));
        delete clientContext;

        EXPECT_EQ(serverSession.GetAlgID(), client.GetAlgID());
        EXPECT_EQ(serverSession.GetAlgID(), context.GetAlgorithms()->pAlgIDs[0]);
        BlobPtr serverKey(serverSession.ExportPlainKey(COFFER_BLOB_RAW));
        BlobPtr clientKey(client.ExportPlainKey(COFFER_BLOB_RAW));
        EXPECT_EQ(bytesOf(serverKey.get()), bytesOf(clientKey.get()));

        const std::string hello = "hello from the client";
        BlobPtr sealed(client.EncryptMessage(bytesOf(hello).data(), unsigned(hello.size()), COFFER_BLOB_BASE64));
        BlobPtr opened(serverSession.DecryptMessage(sealed->data, sealed->size, COFFER_BLOB_BASE64));
        ASSERT_TRUE(opened);
        EXPECT_EQ(bytesOf(opened.get()), bytesOf(hello));
        const std::string reply = "and back";
        BlobPtr sealedReply(serverSession.EncryptMessage(bytesOf(reply).data(), unsigned(reply.size()), COFFER_BLOB_RAW));
        BlobPtr openedReply(client.DecryptMessage(sealedReply->data, sealedReply->size, COFFER_BLOB_RAW));
        ASSERT_TRUE(openedReply);
        EXPECT_EQ(bytesOf(openedReply.get()), bytesOf(reply));
    }
}

TEST_F(ServerSessionTest, KeyInfoMatchesAnIndependentWriterByteForByte)
{
    CNServerSession session(&context);
    _NBLOB *raw = session.GetServerKeyInfo(COFFER_BLOB_RAW, 3);
    ASSERT_NE(raw, nullptr);
    _COFFER_KEYINFO decoded = {};
    ASSERT_TRUE(DecodeKeyInfo(&decoded, raw->data, raw->size, 0));
    ASSERT_EQ(decoded.header.hash.size, 16u);
    std::string algs;
    for (unsigned i = 0; i < decoded.header.algorithms.count; ++i) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%s%x", i ? "," : "", decoded.header.algorithms.pAlgIDs[i]);
        algs += hex;
    }
    const std::string random = toHex(decoded.header.hash.data, decoded.header.hash.size);
    FreeKeyInfo(&decoded);
    const auto reference = run(serverScript() + " keyinfo --version 3 --algs " + algs + " --random " + random
                               + " --cert " + quote(server.certDer) + " --chain " + quote(other.certDer)
                               + " --chain " + quote(server.certDer));
    ASSERT_EQ(reference.status, 0);
    _NBLOB *text = session.GetServerKeyInfo(COFFER_BLOB_BASE64, 3);
    EXPECT_EQ(textOf(text) + "\n", reference.output);
    // The text caches come from the same raw record.
    EXPECT_EQ(session.GetServerKeyInfo(COFFER_BLOB_RAW, 3), raw);
}

TEST_F(ServerSessionTest, AcceptsThePythonClientsAnswerAndItsMessages)
{
    CNServerSession session(&context);
    auto answer = pythonAnswer(session);
    ASSERT_TRUE(session.Init(bytesOf(answer["keyinfo"]).data(), unsigned(answer["keyinfo"].size()),
                             COFFER_BLOB_BASE64, 0));
    BlobPtr key(session.ExportPlainKey(COFFER_BLOB_RAW));
    EXPECT_EQ(toHex(bytesOf(key.get())), answer["key"]);
    const auto message = run(serverScript() + " encrypt --alg " + answer["alg"] + " --key " + answer["key"]
                             + " --plain " + toHex(bytesOf(std::string("plain words"))));
    ASSERT_EQ(message.status, 0);
    const std::string text = message.output.substr(0, message.output.find('\n'));
    BlobPtr plain(session.DecryptMessage(bytesOf(text).data(), unsigned(text.size()), COFFER_BLOB_BASE64));
    ASSERT_TRUE(plain);
    EXPECT_EQ(bytesOf(plain.get()), bytesOf(std::string("plain words")));
}

TEST_F(ServerSessionTest, RefusesFaultyAnswersWithTheirReason)
{
    const struct {
        const char *name;
        std::string options;
        signed char lenient;
        bool ok;
        const char *reason;
    } cases[] = {
        {"version 2", "--version 2", 0, false, "Client's version is lower than server."},
        {"version 2, lenient", "--version 2", 1, true, ""},
        {"no hash", "--no-hash", 0, false, "Can't decode server key infomain."},
        {"no hash, lenient", "--no-hash", 1, true, ""},
        {"hash over another random", "--random " + std::string(32, 'a'), 0, false,
         "Server Random and Client Hash do not match."},
        {"another random, lenient", "--random " + std::string(32, 'a'), 1, true, ""},
        {"key for another server", "--cert " + quote(other.certDer), 0, false,
         "Cannot decrypt session key with server private key."},
        {"unknown algorithm", "--alg 6604", 0, false, "Can't determine client algorithm."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CNServerSession session(&context);
        auto answer = pythonAnswer(session, c.options);
        ErrorLog errors;
        EXPECT_EQ(session.Init(bytesOf(answer["keyinfo"]).data(), unsigned(answer["keyinfo"].size()),
                               COFFER_BLOB_BASE64, c.lenient),
                  c.ok);
        if (c.ok) {
            BlobPtr key(session.ExportPlainKey(COFFER_BLOB_BASE16));
            EXPECT_EQ(textOf(key.get()), [&] {
                std::string upper = answer["key"];
                for (char &ch : upper)
                    ch = char(std::toupper(static_cast<unsigned char>(ch)));
                return upper;
            }());
        } else {
            EXPECT_TRUE(errors.contains(c.reason));
            EXPECT_EQ(session.GetAlgID(), 0u);
        }
    }
}

TEST_F(ServerSessionTest, RefusesMalformedInput)
{
    const Bytes garbage = fromHex("0000000300000010 0001");
    const struct {
        const char *name;
        Bytes data;
        unsigned int type;
        const char *reason;
    } cases[] = {
        {"truncated record", garbage, COFFER_BLOB_RAW, "Can't decode server key infomain."},
        {"empty", Bytes(), COFFER_BLOB_RAW, "Can't decode server key infomain."},
        {"unknown blob type", garbage, 5, "Invalid blob type"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CNServerSession session(&context);
        ErrorLog errors;
        EXPECT_FALSE(session.Init(c.data.data(), unsigned(c.data.size()), c.type, 0));
        EXPECT_TRUE(errors.contains(c.reason));
    }
}

TEST_F(ServerSessionTest, KeyInfoVersionsAndTypes)
{
    {
        CNServerSession session(&context);
        ErrorLog errors;
        EXPECT_EQ(session.GetServerKeyInfo(COFFER_BLOB_RAW, 4), nullptr);
        EXPECT_EQ(session.GetServerKeyInfo(COFFER_BLOB_RAW, 0), nullptr);
        EXPECT_TRUE(errors.contains("Invalid Coffer Version"));
        EXPECT_EQ(session.GetServerKeyInfo(3, 3), nullptr);
    }
    for (unsigned int version : {1u, 2u, 3u}) {
        SCOPED_TRACE(version);
        CNServerSession session(&context);
        _NBLOB *raw = session.GetServerKeyInfo(COFFER_BLOB_RAW, version);
        ASSERT_NE(raw, nullptr);
        _COFFER_KEYINFO decoded = {};
        ASSERT_TRUE(DecodeKeyInfo(&decoded, raw->data, raw->size, 0));
        EXPECT_EQ(decoded.version, version);
        EXPECT_EQ(decoded.header.hash.size, version >= 2 ? 16u : 0u);
        EXPECT_EQ(decoded.header.certCount, version >= 3 ? 2u : 0u);
        EXPECT_EQ(bytesOf(&decoded.payload), server.certDerBytes);
        FreeKeyInfo(&decoded);
        // The first request's version stays for the session.
        EXPECT_EQ(bytesOf(session.GetServerKeyInfo(COFFER_BLOB_RAW, 3)), bytesOf(raw));
    }
}

TEST_F(ServerSessionTest, ContextKeyInfoHasNoHashNorChain)
{
    _NBLOB *raw = context.GetServerKeyInfo(COFFER_BLOB_RAW);
    ASSERT_NE(raw, nullptr);
    _COFFER_KEYINFO decoded = {};
    // Readable only with the hash allowed to be missing.
    EXPECT_FALSE(DecodeKeyInfo(&decoded, raw->data, raw->size, 0));
    FreeKeyInfo(&decoded);
    ASSERT_TRUE(DecodeKeyInfo(&decoded, raw->data, raw->size, 1));
    EXPECT_EQ(decoded.version, 3u);
    EXPECT_EQ(decoded.header.hash.size, 0u);
    EXPECT_EQ(decoded.header.certCount, 0u);
    EXPECT_EQ(decoded.header.trailing.size, 0u);
    ASSERT_EQ(decoded.header.algorithms.count, context.GetAlgorithms()->count);
    EXPECT_EQ(decoded.header.algorithms.pAlgIDs[0], context.GetAlgorithms()->pAlgIDs[0]);
    EXPECT_EQ(bytesOf(&decoded.payload), server.certDerBytes);
    FreeKeyInfo(&decoded);
    EXPECT_EQ(context.GetServerKeyInfo(7), nullptr);
    EXPECT_EQ(context.GetServerChainCerts().count, 2u);
    EXPECT_EQ(bytesOf(&context.GetServerChainCerts().pCerts[1]), server.certDerBytes);
    EXPECT_EQ(bytesOf(context.GetServerCert()), server.certDerBytes);
    EXPECT_NE(context.GetRSAKey(), nullptr);
}

TEST_F(ServerSessionTest, ImportedServerRandomDecidesTheHash)
{
    CNServerSession first(&context);
    auto answer = pythonAnswer(first);
    CNServerSession second(&context);
    _NBLOB *firstInfo = first.GetServerKeyInfo(COFFER_BLOB_BASE64, 3);
    const std::string keyInfo = answer["keyinfo"];
    {
        ErrorLog errors;
        EXPECT_FALSE(second.Init(bytesOf(keyInfo).data(), unsigned(keyInfo.size()), COFFER_BLOB_BASE64, 0));
    }
    ASSERT_TRUE(second.ImportServerKeyInfo(firstInfo->data, firstInfo->size, COFFER_BLOB_BASE64));
    EXPECT_TRUE(second.Init(bytesOf(keyInfo).data(), unsigned(keyInfo.size()), COFFER_BLOB_BASE64, 0));
    ErrorLog errors;
    const Bytes junk = fromHex("0102");
    EXPECT_FALSE(second.ImportServerKeyInfo(junk.data(), unsigned(junk.size()), COFFER_BLOB_RAW));
    EXPECT_TRUE(errors.contains("Can't decode server key info"));
}

TEST_F(ServerSessionTest, DecryptsWhatTheOpensslToolEncryptedToItsCertificate)
{
    const std::string secret = "sixteen byte key";
    writeFile(dir.file("secret"), bytesOf(secret));
    const auto made = run(quote(opensslTool()) + " pkeyutl -encrypt -certin -inkey " + quote(server.certPem)
                          + " -pkeyopt rsa_padding_mode:pkcs1 -in " + quote(dir.file("secret")) + " -out "
                          + quote(dir.file("secret.enc")));
    ASSERT_EQ(made.status, 0);
    const Bytes encrypted = bytesOf(readFile(dir.file("secret.enc")));
    CNServerSession session(&context);
    _NBLOB in = {uint32_t(encrypted.size()), const_cast<unsigned char *>(encrypted.data())};
    BlobPtr plain(session.DecryptUsingPrivateKey(&in, COFFER_BLOB_RAW));
    ASSERT_TRUE(plain);
    EXPECT_EQ(bytesOf(plain.get()), bytesOf(secret));
    EXPECT_EQ(plain->data[plain->size], 0);

    ErrorLog errors;
    Bytes damaged = encrypted;
    damaged[5] ^= 0x40;
    _NBLOB bad = {uint32_t(damaged.size()), damaged.data()};
    EXPECT_EQ(session.DecryptUsingPrivateKey(&bad, COFFER_BLOB_RAW), nullptr);
    EXPECT_TRUE(errors.contains("Cannot decrypt using private key."));
    EXPECT_EQ(session.DecryptUsingPrivateKey(&in, 9), nullptr);
    EXPECT_TRUE(errors.contains("Invalid blob type"));
}

TEST_F(ServerSessionTest, ReadsKeysCertificatesAndChainsOrSaysWhichFailed)
{
    const std::string tool = quote(opensslTool());
    const std::string lockedKey = dir.file("locked.pem");
    ASSERT_EQ(run(tool + " rsa -in " + quote(server.keyPem) + " -aes128 -passout pass:open-sesame -out "
                  + quote(lockedKey) + " 2>/dev/null")
                  .status,
              0);
    const std::string ten = dir.file("ten.pem");
    const std::string eleven = dir.file("eleven.pem");
    const std::string noCert = dir.file("nocert.pem");
    writeFile(ten, bytesOf(concatenated(readFile(other.certPem), 10)));
    writeFile(eleven, bytesOf(concatenated(readFile(other.certPem), 11)));
    writeFile(noCert, bytesOf(std::string("nothing here\n")));
    const struct {
        const char *name;
        std::string key;
        const char *password;
        std::string cert;
        std::string chain;
        bool ok;
        const char *reason;
        unsigned chainCount;
    } cases[] = {
        {"locked key", lockedKey, "open-sesame", server.certPem, "", true, "", 0},
        {"ten chain certificates", server.keyPem, nullptr, server.certPem, ten, true, "", 10},
        {"eleven chain certificates", server.keyPem, nullptr, server.certPem, eleven, false,
         "Error occured in reading PEM chaine certificates file.", 0},
        {"wrong password", lockedKey, "wrong", server.certPem, "", false,
         "Error occured in reading PEM private key file.", 0},
        {"no key file", dir.file("missing.pem"), nullptr, server.certPem, "", false,
         "Error occured in reading PEM private key file.", 0},
        {"certificate file without a certificate", server.keyPem, nullptr, noCert, "", false,
         "Error occured in reading PEM certificate file.", 0},
        {"missing certificate file", server.keyPem, nullptr, dir.file("missing.pem"), "", false,
         "Error occured in reading PEM certificate file.", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog errors;
        CNServerContext fresh;
        EXPECT_EQ(fresh.ReadPvkAndCertFromFile(c.key.c_str(), c.password, c.cert.c_str(),
                                               c.chain.empty() ? nullptr : c.chain.c_str()),
                  c.ok);
        if (c.ok) {
            EXPECT_EQ(fresh.GetServerChainCerts().count, c.chainCount);
            EXPECT_EQ(bytesOf(fresh.GetServerCert()), server.certDerBytes);
        } else {
            EXPECT_TRUE(errors.contains(c.reason));
        }
    }
}

TEST(ServerPem, PasswordCallbackCopiesAtMostTheBuffer)
{
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(password_callback(buffer, 3, 0, const_cast<char *>("secret")), 3);
    EXPECT_EQ(std::string(buffer, 4), "secx");
    EXPECT_EQ(password_callback(buffer, 4, 0, nullptr), 0);
}
