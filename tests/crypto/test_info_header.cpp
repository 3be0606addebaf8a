// Key info and message info records: exact layouts, the decoders' checks of
// every length, and encoders that refuse what their fields cannot hold.
#include "CofferTestSupport.h"

#include "info_header.h"

#include <cstring>

using namespace coffer_test;

namespace {

void put32(Bytes &b, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(uint8_t(v >> s));
}
void put16(Bytes &b, uint16_t v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void append(Bytes &b, const Bytes &more) { b.insert(b.end(), more.begin(), more.end()); }

// A key info built by hand: version, header length, header, payload.
Bytes keyInfo(uint32_t version, const Bytes &header, const Bytes &payload)
{
    Bytes b;
    put32(b, version);
    put32(b, uint32_t(header.size()));
    append(b, header);
    append(b, payload);
    return b;
}

struct KeyInfoRecord {
    _COFFER_KEYINFO info;
    KeyInfoRecord() { std::memset(&info, 0x5A, sizeof info); } // decoding must not need a clean record
    ~KeyInfoRecord() { FreeKeyInfo(&info); }
};

Bytes encode(const _COFFER_KEYINFO &info)
{
    const unsigned int size = EncodeKeyInfo(&info, nullptr);
    Bytes out(size);
    EXPECT_EQ(EncodeKeyInfo(&info, out.data()), size);
    return out;
}

} // namespace

TEST(KeyInfo, VersionThreeRoundTripKeepsEveryField)
{
    const Bytes hash = randomBytes(16, 3), certA = randomBytes(40, 4), certB = randomBytes(300, 5);
    const Bytes trailing = {0xEE, 0xFF}, payload = randomBytes(128, 6);
    ALG_ID algs[] = {0x6610, 0x6801};
    _NBLOB certs[] = {{uint32_t(certA.size()), const_cast<unsigned char *>(certA.data())},
                      {uint32_t(certB.size()), const_cast<unsigned char *>(certB.data())}};
    _COFFER_KEYINFO info = {};
    info.version = 3;
    info.header.algorithms = {2, algs};
    info.header.hash = {16, const_cast<unsigned char *>(hash.data())};
    info.header.certCount = 2;
    info.header.pCerts = certs;
    info.header.trailing = {2, const_cast<unsigned char *>(trailing.data())};
    info.payload = {uint32_t(payload.size()), const_cast<unsigned char *>(payload.data())};

    const Bytes wire = encode(info);
    Bytes header;
    put16(header, 2);
    put32(header, 0x6610);
    put32(header, 0x6801);
    append(header, hash);
    put16(header, 2);
    put16(header, 40);
    append(header, certA);
    put16(header, 300);
    append(header, certB);
    append(header, trailing);
    EXPECT_EQ(toHex(wire), toHex(keyInfo(3, header, payload)));

    KeyInfoRecord decoded;
    ASSERT_TRUE(DecodeKeyInfo(&decoded.info, wire.data(), unsigned(wire.size()), false));
    EXPECT_EQ(decoded.info.version, 3u);
    ASSERT_EQ(decoded.info.header.algorithms.count, 2);
    EXPECT_EQ(decoded.info.header.algorithms.pAlgIDs[0], 0x6610u);
    EXPECT_EQ(decoded.info.header.algorithms.pAlgIDs[1], 0x6801u);
    EXPECT_EQ(bytesOf(&decoded.info.header.hash), hash);
    ASSERT_EQ(decoded.info.header.certCount, 2);
    EXPECT_EQ(bytesOf(&decoded.info.header.pCerts[0]), certA);
    EXPECT_EQ(bytesOf(&decoded.info.header.pCerts[1]), certB);
    EXPECT_EQ(bytesOf(&decoded.info.header.trailing), trailing);
    EXPECT_EQ(bytesOf(&decoded.info.payload), payload);
}

TEST(KeyInfo, HeaderSizeDependsOnVersion)
{
    ALG_ID algs[] = {0x6610, 0x660E, 0x6603};
    unsigned char hash[16] = {};
    _COFFER_KEYHEADER header = {};
    header.algorithms = {3, algs};
    header.hash = {16, hash};
    EXPECT_EQ(EncodeKeyHeader(&header, nullptr, 1), 2u + 12u);
    EXPECT_EQ(EncodeKeyHeader(&header, nullptr, 2), 2u + 12u + 16u);
    EXPECT_EQ(EncodeKeyHeader(&header, nullptr, 3), 2u + 12u + 16u + 2u);
    // An empty hash writes nothing, also in version 3.
    header.hash = COFFER_NULL_BLOB;
    _COFFER_KEYINFO info = {};
    info.version = 3;
    info.header = header;
    unsigned char payload[5] = {1, 2, 3, 4, 5};
    info.payload = {5, payload};
    EXPECT_EQ(EncodeKeyInfo(&info, nullptr), 8u + 2u + 12u + 2u + 5u);
    // A hash of another non-zero size is written as that many zeros.
    unsigned char odd[4] = {9, 9, 9, 9};
    header.hash = {4, odd};
    Bytes out(EncodeKeyHeader(&header, nullptr, 2));
    ASSERT_EQ(out.size(), 2u + 12u + 4u);
    EncodeKeyHeader(&header, out.data(), 2);
    EXPECT_EQ(Bytes(out.end() - 4, out.end()), (Bytes{0, 0, 0, 0}));
}

TEST(KeyInfo, EncodersRefuseFieldsTooLargeForTheirLength)
{
    Bytes big(65536, 0xAB);
    _NBLOB cert = {uint32_t(big.size()), big.data()};
    _COFFER_KEYINFO info = {};
    info.version = 3;
    info.header.certCount = 1;
    info.header.pCerts = &cert;
    ErrorLog log;
    EXPECT_EQ(EncodeKeyHeader(&info.header, nullptr, 3), 0u);
    EXPECT_EQ(EncodeKeyInfo(&info, nullptr), 0u);
    EXPECT_FALSE(log.messages().empty());
    // One byte less fits, and version 2 writes no certificates at all.
    cert.size = 65535;
    EXPECT_EQ(EncodeKeyHeader(&info.header, nullptr, 3), 2u + 2u + 2u + 65535u);
    cert.size = 65536;
    EXPECT_EQ(EncodeKeyHeader(&info.header, nullptr, 2), 2u);
    // A count without its array is refused too.
    info.header.pCerts = nullptr;
    EXPECT_EQ(EncodeKeyHeader(&info.header, nullptr, 3), 0u);
}

TEST(KeyInfo, DecoderFailuresAndTheirMessages)
{
    Bytes algOnly;
    put16(algOnly, 1);
    put32(algOnly, 0x6610);
    Bytes tooManyAlgs;
    put16(tooManyAlgs, 3);
    put32(tooManyAlgs, 0x6610);
    Bytes shortHeaderLength = keyInfo(2, algOnly, {});
    shortHeaderLength[7] = uint8_t(shortHeaderLength[7] + 1); // claims one byte more than present
    Bytes hugeHeaderLength = keyInfo(2, algOnly, {});
    hugeHeaderLength[4] = hugeHeaderLength[5] = hugeHeaderLength[6] = hugeHeaderLength[7] = 0xFF;

    struct Case {
        const char *name;
        Bytes wire;
        std::vector<std::string> messages;
    } cases[] = {
        {"seven bytes", {0, 0, 0, 1, 0, 0, 0}, {"Key Info size is to small"}},
        {"empty header", keyInfo(1, {}, {}), {"Header size is to small", "Can't decode key header."}},
        {"header length past the end", shortHeaderLength, {"Header data is too small."}},
        {"header length 2^32-1", hugeHeaderLength, {"Header data is too small."}},
        {"algorithm count past the header", keyInfo(1, tooManyAlgs, {}),
         {"Algorithm size it to big", "Can't decode key header."}},
        {"version 2 without hash", keyInfo(2, algOnly, {1, 2}),
         {"Header do not continas hash values.", "Can't decode key header."}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ErrorLog log;
        KeyInfoRecord record;
        EXPECT_FALSE(DecodeKeyInfo(&record.info, c.wire.data(), unsigned(c.wire.size()), false));
        EXPECT_EQ(log.messages(), c.messages);
        // A failed decode leaves an empty record.
        EXPECT_EQ(record.info.header.algorithms.pAlgIDs, nullptr);
        EXPECT_EQ(record.info.payload.data, nullptr);
    }
}

TEST(KeyInfo, EveryTruncationOfAValidRecordIsHandled)
{
    Bytes header;
    put16(header, 1);
    put32(header, 0x6610);
    append(header, randomBytes(16, 7));
    put16(header, 1);
    put16(header, 3);
    append(header, {1, 2, 3});
    const Bytes wire = keyInfo(3, header, randomBytes(20, 8));
    ErrorLog log;
    for (size_t n = 0; n < wire.size(); ++n) {
        SCOPED_TRACE(n);
        KeyInfoRecord record;
        const bool ok = DecodeKeyInfo(&record.info, wire.data(), unsigned(n), false);
        // Only cuts inside the payload still hold the whole header.
        EXPECT_EQ(ok, n >= 8 + header.size());
    }
}

TEST(KeyInfo, ToleratedShapes)
{
    {
        SCOPED_TRACE("version 1, no algorithms");
        Bytes header;
        put16(header, 0);
        const Bytes wire = keyInfo(1, header, {7, 8, 9});
        KeyInfoRecord r;
        ASSERT_TRUE(DecodeKeyInfo(&r.info, wire.data(), unsigned(wire.size()), false));
        EXPECT_EQ(r.info.header.algorithms.count, 0);
        EXPECT_EQ(r.info.header.hash.size, 0u);
        EXPECT_EQ(r.info.header.certCount, 0);
        EXPECT_EQ(bytesOf(&r.info.payload), (Bytes{7, 8, 9}));
    }
    {
        SCOPED_TRACE("version 3 ending after the algorithms");
        Bytes header;
        put16(header, 1);
        put32(header, 0x6610);
        const Bytes wire = keyInfo(3, header, {});
        KeyInfoRecord strict;
        EXPECT_FALSE(DecodeKeyInfo(&strict.info, wire.data(), unsigned(wire.size()), false));
        KeyInfoRecord lenient;
        ASSERT_TRUE(DecodeKeyInfo(&lenient.info, wire.data(), unsigned(wire.size()), true));
        EXPECT_EQ(lenient.info.header.hash.size, 0u);
        EXPECT_EQ(lenient.info.header.certCount, 0);
    }
    {
        SCOPED_TRACE("second certificate longer than the rest");
        Bytes header;
        put16(header, 0);
        append(header, randomBytes(16, 9));
        put16(header, 2);
        put16(header, 2);
        append(header, {0xC1, 0xC2});
        put16(header, 50);
        append(header, {0xD1, 0xD2, 0xD3});
        const Bytes wire = keyInfo(3, header, {});
        KeyInfoRecord r;
        ASSERT_TRUE(DecodeKeyInfo(&r.info, wire.data(), unsigned(wire.size()), false));
        ASSERT_EQ(r.info.header.certCount, 2);
        EXPECT_EQ(bytesOf(&r.info.header.pCerts[0]), (Bytes{0xC1, 0xC2}));
        EXPECT_EQ(r.info.header.pCerts[1].size, 0u);
        EXPECT_EQ(r.info.header.pCerts[1].data, nullptr);
        EXPECT_EQ(bytesOf(&r.info.header.trailing), (Bytes{0xD1, 0xD2, 0xD3}));
    }
}

TEST(KeyInfo, FreeEmptiesTheRecordAndCanBeRepeated)
{
    Bytes header;
    put16(header, 1);
    put32(header, 0x6801);
    const Bytes wire = keyInfo(1, header, {1});
    _COFFER_KEYINFO info;
    ASSERT_TRUE(DecodeKeyInfo(&info, wire.data(), unsigned(wire.size()), false));
    FreeKeyInfo(&info);
    FreeKeyInfo(&info);
    EXPECT_EQ(info.header.algorithms.count, 0);
    EXPECT_EQ(info.payload.data, nullptr);
}

TEST(MsgInfo, LayoutDecodingAndLimits)
{
    const Bytes cipherText = randomBytes(48, 10);
    _COFFER_MSGINFO info = {};
    info.version = 3;
    info.cipherText = {uint32_t(cipherText.size()), const_cast<unsigned char *>(cipherText.data())};
    Bytes wire(EncodeMsgInfo(&info, nullptr));
    ASSERT_EQ(wire.size(), 8u + 48u);
    EncodeMsgInfo(&info, wire.data());
    EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 8), (Bytes{0, 0, 0, 3, 0, 0, 0, 0}));

    // Header bytes are opaque and the version is not checked.
    Bytes other = {0, 0, 0, 77, 0, 0, 0, 2, 0xAA, 0xBB, 0x01};
    _COFFER_MSGINFO decoded;
    ASSERT_TRUE(DecodeMsgInfo(&decoded, other.data(), unsigned(other.size())));
    EXPECT_EQ(decoded.version, 77u);
    EXPECT_EQ(bytesOf(&decoded.header.data), (Bytes{0xAA, 0xBB}));
    EXPECT_EQ(bytesOf(&decoded.cipherText), (Bytes{0x01}));
    FreeMsgInfo(&decoded);

    struct Case {
        Bytes wire;
        const char *message;
    } bad[] = {
        {{0, 0, 0, 3, 0, 0, 0}, "Msg Info size is to small"},
        {{0, 0, 0, 3, 0, 0, 0, 1}, "Header data is too small."},
        {{0, 0, 0, 3, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2}, "Header data is too small."},
    };
    for (const auto &c : bad) {
        ErrorLog log;
        _COFFER_MSGINFO m;
        EXPECT_FALSE(DecodeMsgInfo(&m, c.wire.data(), unsigned(c.wire.size())));
        EXPECT_TRUE(log.contains(c.message));
        FreeMsgInfo(&m);
    }
}

TEST(InfoHeaderDeathTest, FreeingNullRecordsStops)
{
    EXPECT_DEATH(FreeKeyHeader(nullptr), "pHeader != NULL");
    EXPECT_DEATH(FreeKeyInfo(nullptr), "pKeyInfo != NULL");
    EXPECT_DEATH(FreeMsgHeader(nullptr), "pHeader != NULL");
    EXPECT_DEATH(FreeMsgInfo(nullptr), "pMsgInfo != NULL");
}
