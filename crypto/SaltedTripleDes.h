// The sealing scheme shared by message cookies and simple password
// encryption: a random salt and IV, a triple-DES key made by SHA-1 from the
// salt and a pass phrase, triple DES (EDE) CBC with block padding, and Base64
// text of salt, IV and ciphertext. Not exported.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace coffer {

inline constexpr size_t kTripleDesKeyLength = 24;
inline constexpr size_t kTripleDesIVLength = 8;
inline constexpr size_t kTripleDesBlockLength = 8;

// Fills key (keyLength bytes) with SHA-1(salt + pass), then SHA-1 of the
// previous digest, until full.
bool deriveSaltedKey(const unsigned char *salt, size_t saltLength, const unsigned char *pass, size_t passLength,
                     unsigned char *key, size_t keyLength);

// Random bytes from OpenSSL's generator.
bool randomBytes(unsigned char *out, size_t count);

// Seals plain under pass; empty on failure.
std::string saltedSeal(const std::string &pass, size_t saltLength, const unsigned char *plain, size_t plainLength,
                       bool urlSafe);

// Opens a sealed text (either Base64 alphabet). The ciphertext must hold at
// least one block and at most maxCipherLength bytes.
std::optional<std::vector<unsigned char>> saltedOpen(const std::string &pass, size_t saltLength,
                                                     const std::string &sealed, size_t maxCipherLength);

} // namespace coffer
