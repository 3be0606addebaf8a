#!/usr/bin/python3
"""Makes the test PKI for the certificate verification tests.

  make_test_pki.py OUTDIR

Writes ca.pem (the root, PEM) and DER files: inter.der (intermediate);
leaf.der (talk.parley.example, valid now), expired.der, future.der,
selfsigned.der, wrongname.der, badsig.der (damaged signature), critical.der
(an unknown critical extension), nulname.der, longname.der, nocn.der, all
issued by inter.der unless self-signed; notca.der (an intermediate that is
not a CA) with notca-leaf.der; pathlen0.der (a CA limited to no further CA),
pathlen-sub.der under it and pathlen-leaf.der under that; long-1.der ..
long-11.der (a chain of intermediates, each issued by the one before, the
first by the root) with long-leaf.der under long-11.der and long10-leaf.der
under long-10.der. For bundles of roots: fillers.pem (eight self-signed roots
of other names) and impostor-ca.pem (a self-signed root of the root's name
with another key).
"""
import datetime
import os
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import NameOID, ObjectIdentifier

NOW = datetime.datetime.utcnow()
DAY = datetime.timedelta(days=1)
out = sys.argv[1]

ca_key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
inter_key = rsa.generate_private_key(public_exponent=65537, key_size=2048)
leaf_key = rsa.generate_private_key(public_exponent=65537, key_size=1024)


def name(cn):
    return x509.Name([x509.NameAttribute(NameOID.ORGANIZATION_NAME, "Parley Test"),
                      x509.NameAttribute(NameOID.COMMON_NAME, cn, _validate=False)])


def make(subject, issuer, key, signer, ca=False, pathlen=None, start=NOW - DAY, end=NOW + 30 * DAY, extra=()):
    builder = (x509.CertificateBuilder().subject_name(subject).issuer_name(issuer)
               .public_key(key.public_key()).serial_number(x509.random_serial_number())
               .not_valid_before(start).not_valid_after(end)
               .add_extension(x509.BasicConstraints(ca=ca, path_length=pathlen if ca else None), critical=True))
    if ca:
        builder = builder.add_extension(x509.KeyUsage(False, False, False, False, False, True, True, False, False),
                                        critical=True)
    for ext, critical in extra:
        builder = builder.add_extension(ext, critical=critical)
    return builder.sign(signer, hashes.SHA256())


def der(cert, file):
    with open(os.path.join(out, file), "wb") as f:
        f.write(cert.public_bytes(serialization.Encoding.DER))


ca_name = name("Parley Test Root")
ca = make(ca_name, ca_name, ca_key, ca_key, ca=True)
with open(os.path.join(out, "ca.pem"), "wb") as f:
    f.write(ca.public_bytes(serialization.Encoding.PEM))
inter_name = name("Parley Test Intermediate")
der(make(inter_name, ca_name, inter_key, ca_key, ca=True), "inter.der")


def leaf(cn, **kw):
    return make(name(cn) if cn is not None else x509.Name([x509.NameAttribute(NameOID.ORGANIZATION_NAME, "x")]),
                inter_name, leaf_key, inter_key, **kw)


der(leaf("talk.parley.example"), "leaf.der")
der(leaf("talk.parley.example", start=NOW - 400 * DAY, end=NOW - 300 * DAY), "expired.der")
der(leaf("talk.parley.example", start=NOW + 300 * DAY, end=NOW + 400 * DAY), "future.der")
der(make(name("talk.parley.example"), name("talk.parley.example"), leaf_key, leaf_key), "selfsigned.der")
der(leaf("talk.parley.invalid"), "wrongname.der")
der(leaf("evil.invalid\0.example"), "nulname.der")
der(leaf("a" * 292 + ".example"), "longname.der")
der(leaf(None), "nocn.der")
unknown = x509.UnrecognizedExtension(ObjectIdentifier("1.3.6.1.4.1.55555.1"), b"\x05\x00")
der(leaf("talk.parley.example", extra=[(unknown, True)]), "critical.der")

good = bytearray(leaf("talk.parley.example").public_bytes(serialization.Encoding.DER))
good[-10] ^= 0x01  # inside the signature value at the end
with open(os.path.join(out, "badsig.der"), "wb") as f:
    f.write(bytes(good))

notca_name = name("Parley Test Not A CA")
der(make(notca_name, ca_name, inter_key, ca_key, ca=False), "notca.der")
der(make(name("talk.parley.example"), notca_name, leaf_key, inter_key), "notca-leaf.der")

p0_name = name("Parley Test Pathlen 0")
sub_name = name("Parley Test Pathlen Sub")
der(make(p0_name, ca_name, inter_key, ca_key, ca=True, pathlen=0), "pathlen0.der")
der(make(sub_name, p0_name, inter_key, inter_key, ca=True), "pathlen-sub.der")
der(make(name("talk.parley.example"), sub_name, leaf_key, inter_key), "pathlen-leaf.der")

issuer, signer = ca_name, ca_key
for i in range(1, 12):
    n = name("Parley Test Long %d" % i)
    der(make(n, issuer, inter_key, signer, ca=True), "long-%d.der" % i)
    if i == 10:
        der(make(name("talk.parley.example"), n, leaf_key, inter_key), "long10-leaf.der")
    issuer, signer = n, inter_key
der(make(name("talk.parley.example"), issuer, leaf_key, inter_key), "long-leaf.der")

with open(os.path.join(out, "fillers.pem"), "wb") as f:
    for i in range(1, 9):
        n = name("Parley Filler Root %d" % i)
        f.write(make(n, n, inter_key, inter_key, ca=True).public_bytes(serialization.Encoding.PEM))
with open(os.path.join(out, "impostor-ca.pem"), "wb") as f:
    f.write(make(ca_name, ca_name, inter_key, inter_key, ca=True).public_bytes(serialization.Encoding.PEM))
