#include "crypt_util.h"

#include "coffer_openssl.h"
#include "coffer_private.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr const char *kUnit = "crypt_util";

CofferErrorHandler gErrorHandler = nullptr;

struct ErrorMessageRow {
    int code;
    const char *text;
};
constexpr ErrorMessageRow arrErrMsgs[] = {{1, "error"}};

std::map<int, const char *> &errorMessageMap()
{
    static std::map<int, const char *> gErrorMessageMap;
    return gErrorMessageMap;
}

// Load-time set-up: the error map is ready before any exported call. OpenSSL
// is set up on the first call that needs it (a program that loads the
// library, such as the messenger at start-up, need not pay for it before).
const bool gLoaded = [] {
    InitErrorMessageMap();
    return true;
}();

} // namespace

void SetErrorHandler(CofferErrorHandler handler) { gErrorHandler = handler; }

void SetErrorMessage(const char *message, int line, const char *unit)
{
    if (gErrorHandler)
        gErrorHandler(message, line, unit);
}

const char *GetCryptoErrorMessage(int code)
{
    const auto &map = errorMessageMap();
    const auto it = map.find(code);
    return it == map.end() ? "-" : it->second;
}

void InitErrorMessageMap()
{
    for (const auto &row : arrErrMsgs)
        errorMessageMap()[row.code] = row.text;
}

void CofferHandleError(const char *, signed char, const char *, int) {}

signed char is_white_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void trim_string(char *text)
{
    if (!text)
        return;
    size_t length = std::strlen(text);
    while (length && is_white_space(text[length - 1]))
        --length;
    size_t start = 0;
    while (start < length && is_white_space(text[start]))
        ++start;
    std::memmove(text, text + start, length - start);
    text[length - start] = '\0';
}

void ReverseBytes(unsigned char *buffer, unsigned int length)
{
    if (!buffer || length < 2)
        return;
    for (unsigned int i = 0, j = length - 1; i < j; ++i, --j) {
        const unsigned char t = buffer[i];
        buffer[i] = buffer[j];
        buffer[j] = t;
    }
}

void KeyValueParserUtil(char *text, char pairSeparator, char keyValueSeparator, KeyValueCallback callback,
                        void *context)
{
    if (!text || !callback)
        return;
    enum class State { Between, Key, AfterSeparator, Value } state = State::Between;
    char *keyStart = nullptr, *keyEnd = nullptr, *valueStart = nullptr;
    char *p = text;
    for (; *p; ++p) {
        const char c = *p;
        switch (state) {
        case State::Between:
            if (c == pairSeparator)
                break;
            keyStart = p;
            if (c == keyValueSeparator) {
                keyEnd = p;
                state = State::AfterSeparator;
            } else {
                state = State::Key;
            }
            break;
        case State::Key:
            if (c == pairSeparator) {
                callback(keyStart, p, p, p, context);
                state = State::Between;
            } else if (c == keyValueSeparator) {
                keyEnd = p;
                state = State::AfterSeparator;
            }
            break;
        case State::AfterSeparator:
            if (c == pairSeparator) {
                callback(keyStart, keyEnd, p, p, context);
                state = State::Between;
            } else {
                valueStart = p;
                state = State::Value;
            }
            break;
        case State::Value:
            if (c == pairSeparator) {
                callback(keyStart, keyEnd, valueStart, p, context);
                state = State::Between;
            }
            break;
        }
    }
    switch (state) {
    case State::Between:
        break;
    case State::Key:
        callback(keyStart, p, p, p, context);
        break;
    case State::AfterSeparator:
        callback(keyStart, keyEnd, p, p, context);
        break;
    case State::Value:
        callback(keyStart, keyEnd, valueStart, p, context);
        break;
    }
}

namespace {

// Walks the PEM blocks of a file; onBlock gets each block's Base64 text and
// answers whether to go on.
template <typename OnBlock>
bool forEachPemBlock(const char *fileName, OnBlock onBlock)
{
    FILE *file = fileName ? std::fopen(fileName, "r") : nullptr;
    if (!file) {
        char message[1200];
        std::snprintf(message, sizeof message, "Can't open file : %s", fileName ? fileName : "(null)");
        COFFER_REPORT(kUnit, message);
        return false;
    }
    char line[1024];
    bool inBlock = false;
    std::string block;
    while (std::fgets(line, sizeof line, file)) {
        if (!inBlock) {
            if (std::strstr(line, "-BEGIN CERTIFICATE-")) {
                inBlock = true;
                block.clear();
            }
        } else if (std::strstr(line, "-BEGIN CERTIFICATE-")) {
            continue;
        } else if (std::strstr(line, "-END CERTIFICATE-")) {
            inBlock = false;
            if (!onBlock(block))
                break;
        } else {
            block += line;
        }
    }
    std::fclose(file);
    return true;
}

} // namespace

signed char ReadPEMCertificates(const char *fileName, unsigned int *pCount, _NBLOB *pCerts)
{
    if (!pCount)
        return false;
    const unsigned int capacity = pCerts ? *pCount : 0;
    unsigned int read = 0;
    bool tooSmall = false;
    const bool opened = forEachPemBlock(fileName, [&](const std::string &text) {
        if (read >= capacity) {
            tooSmall = true;
            return false;
        }
        unsigned int length = 0;
        unsigned char *der = DecodeBase64(text.c_str(), unsigned(text.size()), &length);
        pCerts[read].data = der;
        pCerts[read].size = der ? length : 0;
        ++read;
        return true;
    });
    if (tooSmall) {
        COFFER_REPORT(kUnit, "Certificate buffer is too small");
        for (unsigned int i = 0; i < read; ++i)
            FreeBlob(&pCerts[i]);
        *pCount = 0;
        return false;
    }
    *pCount = read;
    return opened;
}

signed char ReadPEMCertificate(const char *fileName, unsigned char **ppData, unsigned int *pLength)
{
    if (!ppData || !pLength)
        return false;
    return forEachPemBlock(fileName, [&](const std::string &text) {
        unsigned int length = 0;
        *ppData = DecodeBase64(text.c_str(), unsigned(text.size()), &length);
        *pLength = *ppData ? length : 0;
        return false;
    });
}

size_t convert_charset_iconv(const char *fromCharset, const char *toCharset, const char *input,
                             size_t inputLength, char *output, size_t outputSize)
{
    const size_t failed = size_t(-1);
    if (!fromCharset || !toCharset || !output || outputSize == 0 || (!input && inputLength)) {
        COFFER_REPORT(kUnit, "Can't convert charset");
        return failed;
    }
    std::memset(output, 0, outputSize);
    iconv_t cd = iconv_open(toCharset, fromCharset);
    if (cd == iconv_t(-1)) {
        COFFER_REPORT(kUnit, "Can't convert charset");
        return failed;
    }
    char *in = const_cast<char *>(input);
    size_t inLeft = inputLength;
    size_t total = 0;
    bool flushing = false;
    for (;;) {
        char *out = output;
        size_t outLeft = outputSize;
        const size_t rc = flushing ? iconv(cd, nullptr, nullptr, &out, &outLeft)
                                   : iconv(cd, &in, &inLeft, &out, &outLeft);
        const size_t produced = outputSize - outLeft;
        total += produced;
        if (rc != size_t(-1)) {
            if (flushing)
                break;
            flushing = true;
            continue;
        }
        // A full buffer: go on from its start, only to count the total length.
        // A buffer too small for even one character would never progress.
        if (errno == E2BIG && produced > 0)
            continue;
        iconv_close(cd);
        COFFER_REPORT(kUnit, "Can't convert charset");
        return failed;
    }
    iconv_close(cd);
    return total;
}

size_t _coffer_wcslen(const unsigned short *text)
{
    size_t n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}

unsigned short *_coffer_wcsdup(const unsigned short *text)
{
    if (!text)
        return nullptr;
    const size_t bytes = (_coffer_wcslen(text) + 1) * sizeof(unsigned short);
    auto *copy = static_cast<unsigned short *>(std::malloc(bytes));
    if (copy)
        std::memcpy(copy, text, bytes);
    return copy;
}

char *UTF16toANSI(const unsigned short *text, const char *charset)
{
    if (!text)
        return nullptr;
    const char *target = charset ? charset : "UTF-8";
    const size_t inBytes = _coffer_wcslen(text) * 2;
    size_t size = inBytes / 2 * 3 + 1;
    auto *out = static_cast<char *>(std::malloc(size));
    if (!out)
        return nullptr;
    const size_t n = convert_charset_iconv("UTF-16LE", target, reinterpret_cast<const char *>(text), inBytes,
                                           out, size);
    if (n == size_t(-1))
        return out; // zeroed by the conversion: an empty string
    if (n + 1 > size) {
        size = n + 1;
        auto *bigger = static_cast<char *>(std::realloc(out, size));
        if (!bigger) {
            std::free(out);
            return nullptr;
        }
        out = bigger;
        if (convert_charset_iconv("UTF-16LE", target, reinterpret_cast<const char *>(text), inBytes, out, size)
            == size_t(-1))
            out[0] = '\0';
    }
    return out;
}

unsigned short *ANSItoUTF16(const char *text, const char *charset)
{
    if (!text)
        return nullptr;
    const char *source = charset ? charset : "UTF-8";
    const size_t inBytes = std::strlen(text);
    const size_t size = inBytes * 2 + 2;
    auto *out = static_cast<unsigned short *>(std::malloc(size));
    if (!out)
        return nullptr;
    const size_t n = convert_charset_iconv(source, "UTF-16LE", text, inBytes, reinterpret_cast<char *>(out), size);
    // A result that would not leave room for the terminator was cut: give none.
    if (n == size_t(-1) || n > size - 2)
        std::memset(out, 0, size);
    return out;
}

char *UTF16toUTF8(const unsigned short *text) { return UTF16toANSI(text, nullptr); }

unsigned short *UTF8toUTF16(const char *text) { return ANSItoUTF16(text, nullptr); }

void PrintBytes(const unsigned char *bytes, unsigned int count, unsigned int bytesPerLine)
{
    if (!bytes || bytesPerLine == 0)
        return;
    for (unsigned int i = 0; i < count; ++i) {
        if (i % bytesPerLine == 0)
            std::printf("    ");
        std::printf("%02x:", bytes[i]);
        if (i % bytesPerLine == bytesPerLine - 1 || i + 1 == count)
            std::printf("\n");
    }
}

signed char MyReadFile(const char *path, unsigned char **ppData, unsigned int *pLength)
{
    if (!path || !ppData || !pLength)
        return false;
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::string content;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        content.append(chunk, n);
    const bool readError = std::ferror(file);
    std::fclose(file);
    if (readError || content.size() > UINT32_MAX - 1)
        return false;
    auto *data = static_cast<unsigned char *>(std::malloc(content.size() + 1));
    if (!data)
        return false;
    std::memcpy(data, content.data(), content.size());
    data[content.size()] = 0;
    *ppData = data;
    *pLength = unsigned(content.size());
    return true;
}

signed char MyWriteFile(const char *path, const unsigned char *data, unsigned int length)
{
    if (!path || (!data && length))
        return false;
    FILE *file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = (length == 0 || std::fwrite(data, 1, length, file) == length) && std::fflush(file) == 0;
    return std::fclose(file) == 0 && written;
}

signed char MyWriteFile(const char *path, const _NBLOB *pBlob)
{
    if (!pBlob)
        return false;
    return MyWriteFile(path, pBlob->data, pBlob->size);
}
