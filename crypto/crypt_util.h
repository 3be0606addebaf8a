// The library's error channel and its small text, conversion and file helpers.
#pragma once

#include "coffer_export.h"
#include "nblob.h"

#include <cstddef>

// Every failure in the library is reported here, with a fixed English text,
// the source line and the reporting unit's name.
typedef void (*CofferErrorHandler)(const char *message, int line, const char *unit);

COFFER_API void SetErrorHandler(CofferErrorHandler handler);
COFFER_API void SetErrorMessage(const char *message, int line, const char *unit);
COFFER_API const char *GetCryptoErrorMessage(int code);
COFFER_API void InitErrorMessageMap();
// An exported hook that has no effect.
COFFER_API void CofferHandleError(const char *message, signed char flag, const char *unit, int line);

// Text helpers.
COFFER_API signed char is_white_space(char c);
COFFER_API void trim_string(char *text);
COFFER_API void ReverseBytes(unsigned char *buffer, unsigned int length);

// Called once per pair with the key's and the value's [start, end) inside the text.
typedef void (*KeyValueCallback)(char *keyStart, char *keyEnd, char *valueStart, char *valueEnd,
                                 void *context);
COFFER_API void KeyValueParserUtil(char *text, char pairSeparator, char keyValueSeparator,
                                   KeyValueCallback callback, void *context);

// PEM certificates as DER blobs. *pCount is the array's capacity in, the
// number read out; the blobs' data belongs to the caller.
COFFER_API signed char ReadPEMCertificates(const char *fileName, unsigned int *pCount, _NBLOB *pCerts);
COFFER_API signed char ReadPEMCertificate(const char *fileName, unsigned char **ppData, unsigned int *pLength);

// Character sets through iconv. 16-bit strings are UTF-16LE code units ended by 0.
// Returns the bytes the whole conversion produces, or (size_t)-1 on failure.
COFFER_API size_t convert_charset_iconv(const char *fromCharset, const char *toCharset, const char *input,
                                        size_t inputLength, char *output, size_t outputSize);
COFFER_API char *UTF16toANSI(const unsigned short *text, const char *charset);
COFFER_API unsigned short *ANSItoUTF16(const char *text, const char *charset);
COFFER_API char *UTF16toUTF8(const unsigned short *text);
COFFER_API unsigned short *UTF8toUTF16(const char *text);
COFFER_API size_t _coffer_wcslen(const unsigned short *text);
COFFER_API unsigned short *_coffer_wcsdup(const unsigned short *text);

COFFER_API void PrintBytes(const unsigned char *bytes, unsigned int count, unsigned int bytesPerLine);

// Whole files. The read buffer carries one zero byte after the counted bytes.
COFFER_API signed char MyReadFile(const char *path, unsigned char **ppData, unsigned int *pLength);
COFFER_API signed char MyWriteFile(const char *path, const unsigned char *data, unsigned int length);
COFFER_API signed char MyWriteFile(const char *path, const _NBLOB *pBlob);

// Reports a failure from the current source unit.
#define COFFER_REPORT(unit, message) SetErrorMessage((message), __LINE__, (unit))
