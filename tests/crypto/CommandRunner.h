// Helpers for tests that check the library against the openssl tool and
// Python: run a command, read and write files in a temporary folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace coffer_test {

struct CommandResult {
    int exitCode = -1;
    std::string output; // standard output only
};

// Runs a shell command; standard error goes to the test's own.
CommandResult runCommand(const std::string &command);

// Quotes a text for the shell.
std::string shellQuote(const std::string &text);

std::vector<uint8_t> readFileBytes(const std::filesystem::path &path);
void writeFileBytes(const std::filesystem::path &path, const std::vector<uint8_t> &bytes);
void writeFileText(const std::filesystem::path &path, const std::string &text);

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::filesystem::path &path() const { return mPath; }
    std::filesystem::path operator/(const std::string &name) const { return mPath / name; }

private:
    std::filesystem::path mPath;
};

std::string toHex(const uint8_t *data, size_t size);
std::string toHex(const std::vector<uint8_t> &bytes);
std::vector<uint8_t> fromHex(const std::string &hex);

} // namespace coffer_test
