#include "CofferTestSupport.h"

#include "TestSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace coffer_test {

namespace {
std::vector<std::string> &collected()
{
    static std::vector<std::string> messages;
    return messages;
}
void collect(const char *message, int, const char *) { collected().push_back(message ? message : ""); }
} // namespace

ErrorLog::ErrorLog()
{
    collected().clear();
    SetErrorHandler(collect);
}
ErrorLog::~ErrorLog() { SetErrorHandler(nullptr); }
const std::vector<std::string> &ErrorLog::messages() const { return collected(); }
bool ErrorLog::contains(const std::string &message) const
{
    for (const auto &m : collected())
        if (m == message)
            return true;
    return false;
}
void ErrorLog::clear() { collected().clear(); }

Bytes fromHex(const std::string &hex)
{
    Bytes out;
    std::string digits;
    for (char c : hex)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<unsigned char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

std::string toHex(const unsigned char *data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

Bytes randomBytes(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    Bytes out(n);
    for (auto &b : out)
        b = static_cast<unsigned char>(gen());
    return out;
}

TempDir::TempDir()
{
    std::string pattern = parley::test::isolatedHome().toStdString() + "/cofferXXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char *made = mkdtemp(buffer.data());
    m_path = made ? made : "";
}

TempDir::~TempDir()
{
    std::error_code ec;
    if (!m_path.empty())
        std::filesystem::remove_all(m_path, ec);
}

CommandResult run(const std::string &command)
{
    CommandResult result{-1, {}};
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quote(const std::string &s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string &path, const Bytes &data)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(data.data()), std::streamsize(data.size()));
}

std::string opensslTool() { return PARLEY_OPENSSL_TOOL; }

std::string serverScript() { return std::string(PARLEY_PYTHON) + " " + quote(PARLEY_CRYPTO_SCRIPTS "/fake_server.py"); }

TestPki makePki(const TempDir &dir, const std::string &name, int bits, const std::string &commonName)
{
    TestPki pki;
    pki.keyPem = dir.file(name + "-key.pem");
    pki.certPem = dir.file(name + "-cert.pem");
    pki.certDer = dir.file(name + "-cert.der");
    const std::string tool = quote(opensslTool());
    const auto made = run(tool + " req -x509 -newkey rsa:" + std::to_string(bits) + " -nodes -keyout "
                          + quote(pki.keyPem) + " -out " + quote(pki.certPem) + " -days 2 -subj " + quote("/CN=" + commonName)
                          + " 2>/dev/null && " + tool + " x509 -in " + quote(pki.certPem) + " -outform DER -out "
                          + quote(pki.certDer));
    EXPECT_EQ(made.status, 0) << "openssl could not make the test certificate";
    const std::string der = readFile(pki.certDer);
    pki.certDerBytes.assign(der.begin(), der.end());
    return pki;
}

} // namespace coffer_test
