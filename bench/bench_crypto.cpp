// Message encryption through libcoffer3 beside the same work done with direct
// EVP calls (and OpenSSL's own Base64 for the text form), on the same data.
// The session uses AES-256-CBC, the algorithm the key exchange prefers.
#include "coffer.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr ALG_ID kAlg = 0x6610; // AES_256

struct Fixture {
    CCofferContext context;
    CCofferSession session{&context};
    std::vector<unsigned char> key = bytes(32, 1);
    unsigned char iv[16] = {};
    EVP_CIPHER *cipher = EVP_CIPHER_fetch(nullptr, "AES-256-CBC", nullptr);

    Fixture() { session.ImportPlainKey(kAlg, key.data(), unsigned(key.size()), 0); }
    ~Fixture() { EVP_CIPHER_free(cipher); }

    static std::vector<unsigned char> bytes(size_t n, unsigned seed)
    {
        std::mt19937 gen(seed);
        std::vector<unsigned char> out(n);
        for (auto &b : out)
            b = static_cast<unsigned char>(gen());
        return out;
    }

    // One direct EVP pass, with a fresh cipher context per message as a caller would.
    int evp(bool encrypt, const unsigned char *in, int length, unsigned char *out)
    {
        EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
        int n = 0, final = 0;
        EVP_CipherInit_ex2(ctx, cipher, key.data(), iv, encrypt ? 1 : 0, nullptr);
        EVP_CipherUpdate(ctx, out, &n, in, length);
        EVP_CipherFinal_ex(ctx, out + n, &final);
        EVP_CIPHER_CTX_free(ctx);
        return n + final;
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_EncryptMessage(benchmark::State &state)
{
    const auto type = unsigned(state.range(0));
    const auto plain = Fixture::bytes(size_t(state.range(1)), 2);
    for (auto _ : state) {
        _NBLOB *blob = fixture().session.EncryptMessage(plain.data(), unsigned(plain.size()), type);
        benchmark::DoNotOptimize(blob);
        DestroyBlob(blob);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(1));
}

void BM_DecryptMessage(benchmark::State &state)
{
    const auto type = unsigned(state.range(0));
    const auto plain = Fixture::bytes(size_t(state.range(1)), 2);
    _NBLOB *encrypted = fixture().session.EncryptMessage(plain.data(), unsigned(plain.size()), type);
    for (auto _ : state) {
        _NBLOB *blob = fixture().session.DecryptMessage(encrypted->data, encrypted->size, type);
        benchmark::DoNotOptimize(blob);
        DestroyBlob(blob);
    }
    DestroyBlob(encrypted);
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(1));
}

// Direct EVP: type 0 is the cipher alone, type 2 the cipher then EVP_EncodeBlock.
void BM_DirectEvpEncrypt(benchmark::State &state)
{
    const bool base64 = state.range(0) == 2;
    const auto plain = Fixture::bytes(size_t(state.range(1)), 2);
    std::vector<unsigned char> out(plain.size() + 16);
    std::vector<unsigned char> text(4 * (out.size() / 3 + 1) + 1);
    for (auto _ : state) {
        const int n = fixture().evp(true, plain.data(), int(plain.size()), out.data());
        if (base64)
            benchmark::DoNotOptimize(EVP_EncodeBlock(text.data(), out.data(), n));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(1));
}

// Direct EVP: type 0 the cipher alone, type 2 EVP_DecodeBlock then the cipher.
void BM_DirectEvpDecrypt(benchmark::State &state)
{
    const bool base64 = state.range(0) == 2;
    const auto plain = Fixture::bytes(size_t(state.range(1)), 2);
    std::vector<unsigned char> cipherText(plain.size() + 16);
    const int cipherLength = fixture().evp(true, plain.data(), int(plain.size()), cipherText.data());
    std::vector<unsigned char> text(4 * (size_t(cipherLength) / 3 + 1) + 1);
    const int textLength = EVP_EncodeBlock(text.data(), cipherText.data(), cipherLength);
    std::vector<unsigned char> decoded(static_cast<size_t>(textLength));
    std::vector<unsigned char> out(plain.size() + 16);
    for (auto _ : state) {
        const unsigned char *in = cipherText.data();
        if (base64) {
            benchmark::DoNotOptimize(EVP_DecodeBlock(decoded.data(), text.data(), textLength));
            in = decoded.data();
        }
        benchmark::DoNotOptimize(fixture().evp(false, in, cipherLength, out.data()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(1));
}

void sizes(benchmark::internal::Benchmark *b)
{
    for (int type : {0, 2})
        for (int size : {100, 65536})
            b->Args({type, size});
    b->ArgNames({"type", "bytes"});
}

} // namespace

BENCHMARK(BM_EncryptMessage)->Apply(sizes);
BENCHMARK(BM_DirectEvpEncrypt)->Apply(sizes);
BENCHMARK(BM_DecryptMessage)->Apply(sizes);
BENCHMARK(BM_DirectEvpDecrypt)->Apply(sizes);

BENCHMARK_MAIN();
