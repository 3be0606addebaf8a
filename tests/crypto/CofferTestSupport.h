// Shared helpers of the libcoffer3 tests: the error channel as a log, blobs
// that free themselves, hex, temporary folders and running the reference tools.
#pragma once

#include "crypt_util.h"
#include "nblob.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace coffer_test {

using Bytes = std::vector<unsigned char>;

// Collects every message of the library's error channel while alive.
class ErrorLog
{
public:
    ErrorLog();
    ~ErrorLog();
    const std::vector<std::string> &messages() const;
    bool contains(const std::string &message) const;
    void clear();
};

struct BlobDeleter {
    void operator()(_NBLOB *blob) const { DestroyBlob(blob); }
};
using BlobPtr = std::unique_ptr<_NBLOB, BlobDeleter>;

Bytes fromHex(const std::string &hex);
std::string toHex(const unsigned char *data, size_t size);
inline std::string toHex(const Bytes &b) { return toHex(b.data(), b.size()); }
inline Bytes bytesOf(const _NBLOB *blob) { return blob ? Bytes(blob->data, blob->data + blob->size) : Bytes(); }
inline Bytes bytesOf(const std::string &s) { return Bytes(s.begin(), s.end()); }
inline std::string textOf(const _NBLOB *blob) { return std::string(reinterpret_cast<char *>(blob->data), blob->size); }
Bytes randomBytes(size_t n, unsigned seed);

// A fresh folder under the test's temporary home, removed with the object.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Runs a shell command; returns its exit status and standard output.
struct CommandResult {
    int status;
    std::string output;
};
CommandResult run(const std::string &command);
std::string quote(const std::string &s);
std::string readFile(const std::string &path);
void writeFile(const std::string &path, const Bytes &data);

// The openssl tool and Debian's python with the server script.
std::string opensslTool();
std::string serverScript();

// A self-signed RSA certificate with its key, made by the openssl tool.
struct TestPki {
    std::string keyPem;
    std::string certPem;
    std::string certDer;
    Bytes certDerBytes;
};
TestPki makePki(const TempDir &dir, const std::string &name, int bits, const std::string &commonName);

} // namespace coffer_test
