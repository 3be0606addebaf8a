// A Python implementation of the CAPICOM-compatible layout and key
// derivation, independent of the library, for tests.
#pragma once

#include <string>

namespace coffer_test {

// "enc PASSHEX ALGID CONTENTHEX" prints the DER in hex;
// "dec PASSHEX DERHEX" prints the content (UTF-8) in hex, or FAIL.
std::string capicomReference(const std::string &args);

} // namespace coffer_test
