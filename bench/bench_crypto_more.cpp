// DER decoding, CAPICOM decryption, ticket opening and cookie opening.

#include "MsgCookie.h"
#include "asn1.h"
#include "capicom.h"
#include "coticket.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> sealedCapicom(const std::string &content)
{
    NCAPICOM::EncryptedData data(nullptr, nullptr);
    data.SetSecret("password");
    data.SetContent(content.c_str());
    data.SetAlgorithm(COFFER_ALG_AES_128);
    _NBLOB *der = data.Encrypt(COFFER_BLOB_RAW, 0);
    std::vector<uint8_t> bytes(der->data, der->data + der->size);
    DestroyBlob(der);
    return bytes;
}

void BM_Asn1Decode(benchmark::State &state)
{
    const auto der = sealedCapicom(std::string(size_t(state.range(0)), 'x'));
    for (auto _ : state) {
        uint32_t size = uint32_t(der.size());
        std::unique_ptr<ASN1::Object> object(ASN1::Object::Decode(der.data(), &size, nullptr));
        benchmark::DoNotOptimize(object.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(der.size()));
}
BENCHMARK(BM_Asn1Decode)->Arg(16)->Arg(4096);

void BM_CapicomDecrypt(benchmark::State &state)
{
    const auto der = sealedCapicom(std::string(size_t(state.range(0)), 'x'));
    for (auto _ : state) {
        NCAPICOM::EncryptedData data(nullptr, nullptr);
        data.SetSecret("password");
        benchmark::DoNotOptimize(data.Decrypt(der.data(), unsigned(der.size()), COFFER_BLOB_RAW));
    }
}
BENCHMARK(BM_CapicomDecrypt)->Arg(16)->Arg(4096);

void BM_TicketOpen(benchmark::State &state)
{
    COTICKET::CoTicket maker;
    maker.setProperty("user", "kim@example");
    maker.setProperty("session", "0123456789abcdef");
    const std::string ticket = maker.getTicket("password", 3600, true);
    for (auto _ : state) {
        COTICKET::CoTicket reader;
        benchmark::DoNotOptimize(reader.setTicket("password", ticket.c_str(), true));
    }
}
BENCHMARK(BM_TicketOpen);

void BM_MsgCookieOpen(benchmark::State &state)
{
    MSGCOOKIE::MsgCookie cookie(1234567890123ULL, 42);
    std::string sealed;
    cookie.encrypt(sealed, true);
    for (auto _ : state) {
        MSGCOOKIE::MsgCookie opened;
        benchmark::DoNotOptimize(opened.decrypt(sealed));
    }
}
BENCHMARK(BM_MsgCookieOpen);

} // namespace

BENCHMARK_MAIN();
