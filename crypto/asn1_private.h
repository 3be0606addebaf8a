// Helpers shared by the sources of the DER object model (not exported).
#pragma once

#include "asn1.h"

namespace ASN1::detail {

// Appends "asn1(<line>) <function>: <text>" to the list when there is one.
void addError(ErrorList *errors, int line, const char *function, const char *text);
// A new[] copy of the bytes, or null for none.
uint8_t *copyBytes(const uint8_t *data, uint32_t size);

} // namespace ASN1::detail

#define ASN1_ERROR(function, text) ::ASN1::detail::addError(errors, __LINE__, function, text)
