// The key exchange and message encryption, checked against a server written
// apart from the library (scripts/fake_server.py) and the openssl tool.
#include "CofferTestSupport.h"

#include "coffer.h"

#include <openssl/evp.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

using namespace coffer_test;

namespace {

std::map<std::string, std::string> parseLines(const std::string &output)
{
    std::map<std::string, std::string> values;
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return values;
}

std::string trimmed(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

std::string hexAlgs(const std::vector<ALG_ID> &algs)
{
    std::string out;
    for (ALG_ID a : algs) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%x", a);
        out += (out.empty() ? "" : ",") + std::string(buffer);
    }
    return out;
}

const std::string kServerRandom = "00112233445566778899aabbccddeeff";

class KeyExchange : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = new TempDir;
        pki = new TestPki(makePki(*dir, "server", 1024, "server.example.test"));
    }
    static void TearDownTestSuite()
    {
        delete pki;
        delete dir;
    }

    // The server's key info as Base64, made by the independent server.
    static std::string serverKeyInfo(int version, const std::vector<ALG_ID> &algs, const std::string &certDer = "")
    {
        const auto result = run(serverScript() + " keyinfo --version " + std::to_string(version) + " --algs "
                                + hexAlgs(algs) + " --random " + kServerRandom + " --cert "
                                + quote(certDer.empty() ? pki->certDer : certDer));
        EXPECT_EQ(result.status, 0);
        return trimmed(result.output);
    }

    static bool initClient(CNClientSession &client, const std::string &keyInfo)
    {
        return client.Init(reinterpret_cast<const unsigned char *>(keyInfo.data()), unsigned(keyInfo.size()),
                           COFFER_BLOB_BASE64, 0);
    }

    static std::map<std::string, std::string> serverAccepts(const std::string &clientKeyInfo,
                                                            const std::string &message)
    {
        const auto result = run(serverScript() + " accept --key " + quote(pki->keyPem) + " --random " + kServerRandom
                                + " --keyinfo " + quote(clientKeyInfo)
                                + (message.empty() ? std::string() : " --message " + quote(message)));
        EXPECT_EQ(result.status, 0) << result.output;
        return parseLines(result.output);
    }

    static TempDir *dir;
    static TestPki *pki;
};

TempDir *KeyExchange::dir = nullptr;
TestPki *KeyExchange::pki = nullptr;

} // namespace

TEST_F(KeyExchange, IndependentServerReadsTheKeyAndBothWaysOfMessages)
{
    struct Case {
        int version;
        ALG_ID alg;
    } cases[] = {
        {3, 0x6610}, {3, 0x660F}, {3, 0x660E}, {3, 0x6603}, {3, 0x6609}, {3, 0x6601}, {3, 0x6801},
        {2, 0x6610}, {1, 0x6610},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " alg " << std::hex << c.alg);
        CCofferContext context;
        ASSERT_TRUE(context.Init(0));
        CNClientSession client(&context);
        ASSERT_TRUE(initClient(client, serverKeyInfo(c.version, {c.alg})));
        EXPECT_EQ(client.GetAlgID(), c.alg);
        EXPECT_EQ(client.GetPeerVersion(), unsigned(c.version));

        const _NBLOB *exported = client.ExportSessionKey(COFFER_BLOB_BASE64);
        ASSERT_NE(exported, nullptr);
        const std::string text = "Hello, \xed\x95\x9c\xea\xb8\x80 " + std::to_string(c.alg);
        BlobPtr encrypted(client.EncryptMessage(reinterpret_cast<const unsigned char *>(text.data()),
                                                unsigned(text.size()), COFFER_BLOB_BASE64));
        ASSERT_TRUE(encrypted);

        auto server = serverAccepts(textOf(exported), textOf(encrypted.get()));
        char alg[16];
        std::snprintf(alg, sizeof alg, "%#x", c.alg);
        EXPECT_EQ(server["version"], "3");
        EXPECT_EQ(server["alg"], alg);
        EXPECT_EQ(server["hash"], c.version > 1 ? "ok" : "none");
        EXPECT_EQ(server["msgversion"], "3");
        EXPECT_EQ(server["plain"], toHex(bytesOf(text)));

        // And a message the server encrypted with the key it recovered.
        const std::string reply = "reply " + std::to_string(c.version);
        const auto made = run(serverScript() + " encrypt --alg " + hexAlgs({c.alg}) + " --key " + server["key"]
                              + " --plain " + toHex(bytesOf(reply)));
        ASSERT_EQ(made.status, 0);
        const std::string wire = trimmed(made.output);
        BlobPtr plain(client.DecryptMessage(reinterpret_cast<const unsigned char *>(wire.c_str()), 0, COFFER_BLOB_BASE64));
        ASSERT_TRUE(plain);
        EXPECT_EQ(bytesOf(plain.get()), bytesOf(reply));
    }
}

TEST_F(KeyExchange, ExportedKeyInfoIsBuiltOnceInEachEncoding)
{
    CCofferContext context;
    context.Init(0);
    CNClientSession client(&context);
    ASSERT_TRUE(initClient(client, serverKeyInfo(3, {0x6610})));
    _NBLOB *base64 = client.ExportSessionKey(COFFER_BLOB_BASE64);
    ASSERT_NE(base64, nullptr);
    EXPECT_EQ(client.ExportSessionKey(COFFER_BLOB_BASE64), base64);
    EXPECT_EQ(client.ExportSessionKey(3), nullptr);
    // 8 + (2 + 4 + 16 + 2) + 128 bytes for a 1024-bit server key.
    const _NBLOB *raw = client.ExportSessionKey(COFFER_BLOB_RAW);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->size, 160u);
    EXPECT_EQ(base64->size, 216u);
    EXPECT_EQ(base64->data[base64->size], 0) << "text blobs end in a zero byte";
    const _NBLOB *base16 = client.ExportSessionKey(COFFER_BLOB_BASE16);
    ASSERT_NE(base16, nullptr);
    EXPECT_EQ(textOf(base16), [&] {
        std::string upper = toHex(bytesOf(raw));
        for (auto &ch : upper)
            ch = char(std::toupper(ch));
        return upper;
    }());
}

TEST_F(KeyExchange, VersionOneServerGivesNoHash)
{
    CCofferContext context;
    context.Init(0);
    CNClientSession client(&context);
    ASSERT_TRUE(initClient(client, serverKeyInfo(1, {0x6610})));
    const _NBLOB *raw = client.ExportSessionKey(COFFER_BLOB_RAW);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->size, 8u + 2u + 4u + 2u + 128u);
    EXPECT_EQ(Bytes(raw->data, raw->data + 4), (Bytes{0, 0, 0, 3}));
    ErrorLog log;
    unsigned char random[16] = {1};
    _NBLOB clientRandom = {16, random};
    EXPECT_EQ(client.GetCertHash(&clientRandom, "x"), nullptr);
    EXPECT_TRUE(log.contains("Server random is zero, maybe session wasn't initialized or opponent is lower version."));
}

TEST_F(KeyExchange, TheServersOrderDecides)
{
    CCofferContext context;
    context.Init(0);
    CNClientSession client(&context);
    ASSERT_TRUE(initClient(client, serverKeyInfo(3, {0x660D, 0x6801, 0x6610})));
    EXPECT_EQ(client.GetAlgID(), 0x6801u);
}

TEST_F(KeyExchange, InitFailuresReportTheirStep)
{
    TestPki ec;
    ec.certDer = dir->file("ec-cert.der");
    const std::string tool = quote(opensslTool());
    ASSERT_EQ(run(tool + " req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout "
                  + quote(dir->file("ec-key.pem")) + " -subj /CN=ec -days 2 -outform DER -out " + quote(ec.certDer)
                  + " 2>/dev/null")
                  .status,
              0);
    const std::string notACert = dir->file("garbage.der");
    writeFile(notACert, randomBytes(50, 3));

    struct Case {
        const char *name;
        std::string data;
        unsigned int type;
        std::vector<std::string> messages;
    } cases[] = {
        {"blob type 7", serverKeyInfo(3, {0x6610}), 7, {"Invalid blob type"}},
        {"too short", "AAAA", COFFER_BLOB_BASE64, {"Key Info size is to small", "Can't decode server key infomain."}},
        {"no supported algorithm", serverKeyInfo(3, {0x660D, 0x1234}), COFFER_BLOB_BASE64,
         {"No ecnryption algorithm is supported."}},
        {"payload not a certificate", serverKeyInfo(3, {0x6610}, notACert), COFFER_BLOB_BASE64,
         {"Can not read cert from bio.", "Cannot read cert from memory."}},
        {"not an RSA key", serverKeyInfo(3, {0x6610}, ec.certDer), COFFER_BLOB_BASE64,
         {"Cannot get rsa param from public key."}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CCofferContext context;
        context.Init(0);
        CNClientSession client(&context);
        ErrorLog log;
        EXPECT_FALSE(client.Init(reinterpret_cast<const unsigned char *>(c.data.data()), unsigned(c.data.size()), c.type, 1));
        EXPECT_EQ(log.messages(), c.messages);
        EXPECT_EQ(client.ExportSessionKey(COFFER_BLOB_BASE64), nullptr);
        if (std::string(c.name) == "no supported algorithm") {
            EXPECT_EQ(client.GetAlgID(), 0u);
        }
    }
}

TEST_F(KeyExchange, MessagesRoundTripInEveryEncodingAfterTheContextIsGone)
{
    auto *context = new CCofferContext;
    context->Init(0);
    CNClientSession client(context);
    ASSERT_TRUE(initClient(client, serverKeyInfo(3, {0x660E})));
    delete context;

    for (unsigned int type : {0u, 1u, 2u}) {
        for (size_t size : {1u, 15u, 16u, 100u, 70000u}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " size " << size);
            const Bytes plain = randomBytes(size, unsigned(size + type));
            BlobPtr encrypted(client.EncryptMessage(plain.data(), unsigned(size), type));
            ASSERT_TRUE(encrypted);
            EXPECT_EQ(DetectBlobType(encrypted->data, encrypted->size) == 0, type == 0 ? true : false)
                << "text encodings are text";
            BlobPtr back(client.DecryptMessage(encrypted->data, encrypted->size, type));
            ASSERT_TRUE(back);
            EXPECT_EQ(bytesOf(back.get()), plain);

            BlobPtr simple(client.EncryptSimple(plain.data(), unsigned(size), type));
            ASSERT_TRUE(simple);
            BlobPtr simpleBack(client.DecryptSimple(simple->data, simple->size, type));
            ASSERT_TRUE(simpleBack);
            EXPECT_EQ(bytesOf(simpleBack.get()), plain);
        }
    }
}

// The text form is the raw record in Base64, to the byte (the record is
// made in the text's own buffer and encoded in place): records of every
// length modulo 3, short and long, with and without the message header.
TEST_F(KeyExchange, TheBase64FormIsTheRawRecordInBase64)
{
    CCofferContext context;
    context.Init(0);
    CNClientSession client(&context);
    ASSERT_TRUE(initClient(client, serverKeyInfo(3, {0x6610})));
    for (size_t size : {0u, 1u, 16u, 17u, 31u, 32u, 47u, 48u, 65536u, 70000u}) {
        SCOPED_TRACE(testing::Message() << "size " << size);
        const Bytes plain = randomBytes(size, unsigned(size + 7));
        const auto encrypt = [&](bool message, unsigned int type) {
            return BlobPtr(message ? client.EncryptMessage(plain.data(), unsigned(size), type)
                                   : client.EncryptSimple(plain.data(), unsigned(size), type));
        };
        for (bool message : {true, false}) {
            BlobPtr raw = encrypt(message, COFFER_BLOB_RAW);
            BlobPtr text = encrypt(message, COFFER_BLOB_BASE64);
            if (size == 0 && !raw) {
                EXPECT_FALSE(text);
                continue;
            }
            ASSERT_TRUE(raw && text);
            char *expected = EncodeBase64(raw->data, raw->size, 0);
            ASSERT_NE(expected, nullptr);
            EXPECT_EQ(textOf(text.get()), std::string(expected));
            EXPECT_EQ(text->data[text->size], 0) << "text blobs end in a zero byte";
            std::free(expected);
        }
    }
}

TEST_F(KeyExchange, MessageFailures)
{
    CCofferContext context;
    context.Init(0);
    CNClientSession client(&context);
    ASSERT_TRUE(initClient(client, serverKeyInfo(3, {0x6610})));
    const std::string text = "some text to damage";
    BlobPtr encrypted(client.EncryptMessage(reinterpret_cast<const unsigned char *>(text.data()), unsigned(text.size()),
                                            COFFER_BLOB_BASE64));
    ASSERT_TRUE(encrypted);
    // Four characters less: three bytes gone, so the ciphertext is no whole block.
    const std::string cut = textOf(encrypted.get()).substr(0, encrypted->size - 4);

    struct Case {
        const char *name;
        const unsigned char *data;
        unsigned int length;
        unsigned int type;
        std::vector<std::string> messages;
    } cases[] = {
        {"null", nullptr, 10, 2, {"Encrypted message is null"}},
        {"type 5", encrypted->data, encrypted->size, 5, {"Invalid blob type"}},
        {"damaged ciphertext", reinterpret_cast<const unsigned char *>(cut.data()), unsigned(cut.size()), 2,
         {"Cannot finalize decryption.", "Can't decrypt message data."}},
        {"no message info", reinterpret_cast<const unsigned char *>("AAAA"), 4, 2,
         {"Msg Info size is to small", "Can't decode encrypted message infomation."}},
        {"header past the end", reinterpret_cast<const unsigned char *>("\0\0\0\3\0\0\1\0abcd"), 12, 0,
         {"Header data is too small.", "Can't decode encrypted message infomation."}},
        {"empty ciphertext", reinterpret_cast<const unsigned char *>("\0\0\0\3\0\0\0\0"), 8, 0,
         {"The size of data to be decryptd is zero", "Can't decrypt message data."}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog log;
        EXPECT_EQ(client.DecryptMessage(c.data, c.length, c.type), nullptr);
        EXPECT_EQ(log.messages(), c.messages);
    }
    ErrorLog log;
    EXPECT_EQ(client.EncryptMessage(reinterpret_cast<const unsigned char *>("x"), 1, 3), nullptr);
    EXPECT_EQ(client.EncryptMessage(reinterpret_cast<const unsigned char *>("x"), 0, 2), nullptr);
    EXPECT_TRUE(log.contains("Can't encrypt message"));
}

TEST_F(KeyExchange, NothingWorksBeforeAKeyIsAgreed)
{
    CCofferContext context;
    context.Init(0);
    CNClientSession client(&context);
    ErrorLog log;
    EXPECT_EQ(client.EncryptMessage(reinterpret_cast<const unsigned char *>("x"), 1, 2), nullptr);
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"Session key is not established.", "Can't encrypt message"}));
    EXPECT_EQ(client.DecryptMessage(reinterpret_cast<const unsigned char *>("\0\0\0\3\0\0\0\0abcdefghabcdefgh"), 24, 0),
              nullptr);
    EXPECT_EQ(client.ExportSessionKey(COFFER_BLOB_BASE64), nullptr);
    _NBLOB blob = {1, const_cast<unsigned char *>(reinterpret_cast<const unsigned char *>("x"))};
    EXPECT_EQ(client.EncryptUsingPublicKey(&blob, 2), nullptr);
    EXPECT_EQ(client.GetAlgID(), 0u);
    EXPECT_EQ(client.GetPeerVersion(), 0u);
}

TEST_F(KeyExchange, PublicKeyEncryptionDecryptsWithTheOpensslTool)
{
    CCofferContext context;
    context.Init(0);
    CNClientSession client(&context);
    ASSERT_TRUE(initClient(client, serverKeyInfo(3, {0x6610})));
    const Bytes secret = randomBytes(40, 11);
    _NBLOB blob = {uint32_t(secret.size()), const_cast<unsigned char *>(secret.data())};
    for (unsigned int type : {0u, 2u, 9u}) {
        SCOPED_TRACE(type);
        BlobPtr encrypted(client.EncryptUsingPublicKey(&blob, type));
        ASSERT_TRUE(encrypted);
        Bytes raw = bytesOf(encrypted.get());
        if (type == 2) {
            unsigned int n = 0;
            unsigned char *decoded = DecodeBase64(reinterpret_cast<char *>(encrypted->data), encrypted->size, &n);
            raw.assign(decoded, decoded + n);
            FreeBaseAlloced(decoded);
        }
        ASSERT_EQ(raw.size(), 128u);
        writeFile(dir->file("rsa.bin"), raw);
        const auto decrypted = run(quote(opensslTool()) + " pkeyutl -decrypt -inkey " + quote(pki->keyPem)
                                   + " -pkeyopt rsa_padding_mode:pkcs1 -in " + quote(dir->file("rsa.bin")));
        ASSERT_EQ(decrypted.status, 0);
        EXPECT_EQ(bytesOf(decrypted.output), secret);
    }
}

TEST_F(KeyExchange, PlainKeysImportAndExport)
{
    CCofferContext context;
    CCofferSession session(&context);
    const Bytes key = randomBytes(32, 12);
    ASSERT_TRUE(session.ImportPlainKey(0x6610, key.data(), 32, COFFER_BLOB_RAW));
    EXPECT_EQ(session.GetAlgID(), 0x6610u);
    BlobPtr raw(session.ExportPlainKey(COFFER_BLOB_RAW));
    BlobPtr hex(session.ExportPlainKey(COFFER_BLOB_BASE16));
    BlobPtr b64(session.ExportPlainKey(COFFER_BLOB_BASE64));
    EXPECT_EQ(bytesOf(raw.get()), key);
    EXPECT_EQ(session.ExportPlainKey(4), nullptr);

    // The text forms import to the same key: a message made under one decrypts under the other.
    CCofferSession other(&context);
    ASSERT_TRUE(other.ImportPlainKey(0x6610, b64->data, b64->size, COFFER_BLOB_BASE64));
    BlobPtr encrypted(session.EncryptMessage(key.data(), 10, COFFER_BLOB_RAW));
    BlobPtr decrypted(other.DecryptMessage(encrypted->data, encrypted->size, COFFER_BLOB_RAW));
    ASSERT_TRUE(decrypted);
    EXPECT_EQ(bytesOf(decrypted.get()), Bytes(key.begin(), key.begin() + 10));
    ASSERT_TRUE(other.ImportPlainKey(0x6610, hex->data, hex->size, COFFER_BLOB_BASE16));
    BlobPtr again(other.ExportPlainKey(COFFER_BLOB_RAW));
    EXPECT_EQ(bytesOf(again.get()), key);

    ErrorLog log;
    EXPECT_FALSE(other.ImportPlainKey(0x6610, key.data(), 32, 3));
    EXPECT_TRUE(log.contains("Unsupported blob type"));
    // A key shorter than the algorithm needs is refused when used.
    ASSERT_TRUE(other.ImportPlainKey(0x6610, key.data(), 5, COFFER_BLOB_RAW));
    log.clear();
    EXPECT_EQ(other.EncryptMessage(key.data(), 10, COFFER_BLOB_RAW), nullptr);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"Key is shorter than the cipher's key length.", "Can't encrypt message"}));
}

TEST_F(KeyExchange, CertificateMessagesVerifyOnlyTheSameText)
{
    CCofferContext context;
    context.Init(0);
    const std::string keyInfo = serverKeyInfo(3, {0x6603});
    CNClientSession sender(&context);
    ASSERT_TRUE(initClient(sender, keyInfo));
    // The receiver holds the same server random and, imported, the same key.
    CNClientSession receiver(&context);
    ASSERT_TRUE(initClient(receiver, keyInfo));
    BlobPtr key(sender.ExportPlainKey(COFFER_BLOB_RAW));
    ASSERT_TRUE(receiver.ImportPlainKey(sender.GetAlgID(), key->data, key->size, COFFER_BLOB_RAW));

    BlobPtr message(sender.GenerateCertMessage("server.example.test"));
    ASSERT_TRUE(message);
    EXPECT_TRUE(receiver.VerifyCertMessage(message->data, message->size, "server.example.test"));
    EXPECT_FALSE(receiver.VerifyCertMessage(message->data, message->size, "other.example.test"));

    // The hash is MD2, MD5 and SHA-1 of client random, server random and text.
    const Bytes clientRandom = randomBytes(16, 13);
    _NBLOB cr = {16, const_cast<unsigned char *>(clientRandom.data())};
    BlobPtr hash(sender.GetCertHash(&cr, "abc"));
    ASSERT_TRUE(hash);
    ASSERT_EQ(hash->size, 52u);
    Bytes data = clientRandom;
    const Bytes serverRandom = fromHex(kServerRandom);
    data.insert(data.end(), serverRandom.begin(), serverRandom.end());
    data.insert(data.end(), {'a', 'b', 'c'});
    unsigned char md5[16], sha1[20];
    unsigned int n = 0;
    EVP_Digest(data.data(), data.size(), md5, &n, EVP_md5(), nullptr);
    EVP_Digest(data.data(), data.size(), sha1, &n, EVP_sha1(), nullptr);
    EXPECT_EQ(toHex(hash->data + 16, 16), toHex(md5, 16));
    EXPECT_EQ(toHex(hash->data + 32, 20), toHex(sha1, 20));
    unsigned char *md2 = nullptr;
    ASSERT_TRUE(openssl_MyHash(0x8001, data.data(), unsigned(data.size()), &md2, &n));
    EXPECT_EQ(toHex(hash->data, 16), toHex(md2, 16));
    std::free(md2);

    ErrorLog log;
    EXPECT_FALSE(receiver.VerifyCertMessage(nullptr, 0, "x"));
    EXPECT_FALSE(receiver.VerifyCertMessage(reinterpret_cast<const unsigned char *>("AAAAAQ=="), 8, "x"));
    EXPECT_EQ(log.messages(), (std::vector<std::string>{"Cert Message is zero.", "Cert Message doesn't have 2 block"}));
}

TEST(Context, AlgorithmListAndChoice)
{
    CCofferContext empty;
    ErrorLog log;
    EXPECT_EQ(empty.GetAlgorithmList(), nullptr);
    EXPECT_TRUE(log.contains("There is no available algorithms. Maybe context wasn't initizlized."));

    CCofferContext context;
    ASSERT_TRUE(context.Init(1));
    ASSERT_TRUE(context.Init(0)); // a second Init replaces the list
    const _COFFER_ALGORITHMS *algs = context.GetAlgorithms();
    ASSERT_EQ(algs->count, 7);
    EXPECT_EQ(std::vector<ALG_ID>(algs->pAlgIDs, algs->pAlgIDs + 7),
              (std::vector<ALG_ID>{0x6610, 0x660F, 0x660E, 0x6603, 0x6609, 0x6601, 0x6801}));
    BlobPtr list(context.GetAlgorithmList());
    ASSERT_TRUE(list);
    EXPECT_EQ(textOf(list.get()), "AABmEAAAZg8AAGYOAABmAwAAZgkAAGYBAABoAQ==");
    EXPECT_TRUE(context.IsSupportedAlgorithm(0x6609));
    EXPECT_FALSE(context.IsSupportedAlgorithm(0x6611)); // usable, but not offered in an exchange
    EXPECT_FALSE(context.IsSupportedAlgorithm(0x660D));

    ALG_ID offer[] = {0x6801, 0x660E, 0x6603};
    _COFFER_ALGORITHMS offered = {3, offer};
    EXPECT_EQ(context.GetMostStrongAlgorithm(&offered), 0x660Eu);
    ALG_ID none[] = {0x660D, 0x6611};
    _COFFER_ALGORITHMS unsupported = {2, none};
    EXPECT_EQ(context.GetMostStrongAlgorithm(&unsupported), 0u);
    // Nothing is torn down: a session still encrypts after the "final" call.
    CCofferContext::ClearAll();
    CCofferSession session(&context);
    const Bytes key = randomBytes(24, 1);
    ASSERT_TRUE(session.ImportPlainKey(0x6603, key.data(), 24, COFFER_BLOB_RAW));
    BlobPtr encrypted(session.EncryptMessage(key.data(), 3, COFFER_BLOB_RAW));
    ASSERT_TRUE(encrypted);
    EXPECT_EQ(encrypted->size, 8u + 8u);
}

TEST(ContextDeathTest, SessionNeedsAContext)
{
    EXPECT_DEATH(CCofferSession session(nullptr), "pContext != 0");
}
