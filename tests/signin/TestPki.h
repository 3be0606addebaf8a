#pragma once

// Certificates for the sign-in tests, made at test time with the openssl
// tool: a root CA and, all with one server key, a good server certificate
// (ns.parley.test), one with the wrong name (ns.evilparley.test, which ends
// in the portal's domain but not at a label boundary), an expired one, and a
// self-signed one. Each chain file holds the server certificate first.

#include <QString>

namespace parley::test {

struct TestPki {
    bool made = false;
    QString caPem;
    QString key;
    QString goodChain;
    QString wrongNameChain;
    QString expiredChain;
    QString selfSignedChain;

    // Made once per test run, in the isolated home folder.
    static const TestPki &shared();
};

} // namespace parley::test
