#include "CapicomReference.h"

#include "CofferTestSupport.h"

#include <gtest/gtest.h>

namespace coffer_test {

namespace {

// enc PASSHEX ALGID CONTENTHEX -> DER in hex
// dec PASSHEX DERHEX           -> content (UTF-8) in hex, or FAIL
const char kReference[] = R"PY(
import hashlib, os, subprocess, sys
from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

KEY = {0x6601: 8, 0x6602: 16, 0x6603: 24, 0x6609: 16, 0x660E: 16, 0x660F: 24, 0x6610: 32, 0x6801: 16}
IV = {0x6601: 8, 0x6602: 8, 0x6603: 8, 0x6609: 8, 0x660E: 16, 0x660F: 16, 0x6610: 16, 0x6801: 0}

def derive(alg, salt, pw, n):
    h = hashlib.sha1(pw.encode("utf-16-le") + salt).digest()
    if n <= 20 and alg not in (0x6610, 0x660F, 0x660E, 0x6611, 0x6603):
        return h[:n]
    b1 = bytes(x ^ y for x, y in zip(bytes([0x36]) * 64, h + bytes(44)))
    b2 = bytes(x ^ y for x, y in zip(bytes([0x5C]) * 64, h + bytes(44)))
    return (hashlib.sha1(b1).digest() + hashlib.sha1(b2).digest())[:n]

def crypt(encrypt, alg, key, iv, data):
    if alg == 0x6602:
        cmd = ["openssl", "enc", "-rc2-cbc", "-K", key.hex(), "-iv", iv.hex(), "-provider", "legacy", "-provider", "default"]
        if not encrypt:
            cmd.insert(2, "-d")
        r = subprocess.run(cmd, input=data, capture_output=True)
        if r.returncode != 0:
            raise ValueError("rc2")
        return r.stdout
    if alg == 0x6801:
        c = Cipher(algorithms.ARC4(key[:5]), None)
        op = c.encryptor() if encrypt else c.decryptor()
        return op.update(data) + op.finalize()
    if alg in (0x660E, 0x660F, 0x6610):
        a = algorithms.AES(key)
    elif alg == 0x6609:
        a = algorithms.TripleDES(key[:16] + key[:8])
    else:
        a = algorithms.TripleDES(key)
    c = Cipher(a, modes.CBC(iv))
    if encrypt:
        p = padding.PKCS7(a.block_size).padder()
        e = c.encryptor()
        return e.update(p.update(data) + p.finalize()) + e.finalize()
    d = c.decryptor()
    u = padding.PKCS7(a.block_size).unpadder()
    return u.update(d.update(data) + d.finalize()) + u.finalize()

def tlv(tag, body):
    n = len(body)
    if n < 128:
        head = bytes([n])
    else:
        b = n.to_bytes((n.bit_length() + 7) // 8, "big")
        head = bytes([0x80 | len(b)]) + b
    return bytes([tag]) + head + body

def integer(v):
    return tlv(2, v.to_bytes((v.bit_length() + 8) // 8, "big", signed=True))

def oid(text):
    arcs = [int(x) for x in text.split(".")]
    out = bytes([arcs[0] * 40 + arcs[1]])
    for a in arcs[2:]:
        g = [a & 0x7F]
        a >>= 7
        while a:
            g.insert(0, 0x80 | (a & 0x7F))
            a >>= 7
        out += bytes(g)
    return tlv(6, out)

def parse(b):
    tag, n, i = b[0], b[1], 2
    if n & 0x80:
        k = n & 0x7F
        n, i = int.from_bytes(b[2:2 + k], "big"), 2 + k
    body = b[i:i + n]
    if tag & 0x20:
        kids, j = [], 0
        while j < len(body):
            t, l = parse(body[j:])
            kids.append(t)
            j += l
        return (tag, kids), i + n
    return (tag, body), i + n

mode, pw = sys.argv[1], bytes.fromhex(sys.argv[2]).decode()
if mode == "enc":
    alg, content = int(sys.argv[3], 0), bytes.fromhex(sys.argv[4]).decode()
    salt, iv = os.urandom(16), (os.urandom(IV[alg]) if alg not in (0x660E, 0x660F, 0x6610) else bytes(IV[alg]))
    ct = crypt(True, alg, derive(alg, salt, pw, KEY[alg]), iv, content.encode("utf-16-le"))
    fields = integer(0x20000) + integer(alg) + integer(KEY[alg] * 8) + tlv(4, iv) + tlv(4, salt) + tlv(4, ct)
    inner = oid("1.3.6.1.4.1.311.88.3.1") + tlv(0xA0, tlv(0x30, fields))
    print(tlv(0x30, oid("1.3.6.1.4.1.311.88.3") + tlv(0xA0, tlv(0x30, inner))).hex())
else:
    (_, root), _ = parse(bytes.fromhex(sys.argv[3]))
    f = root[1][1][0][1][1][1][0][1]
    alg = int.from_bytes(f[1][1], "big")
    n = int.from_bytes(f[2][1], "big") // 8
    try:
        plain = crypt(False, alg, derive(alg, f[4][1], pw, n), f[3][1], f[5][1])
        print(plain.decode("utf-16-le").encode().hex())
    except ValueError:
        print("FAIL")
)PY";

} // namespace

std::string capicomReference(const std::string &args)
{
    static TempDir folder;
    static const auto script = [] {
        const auto path = folder.file("capicom.py");
        writeFile(path, bytesOf(std::string(kReference)));
        return path;
    }();
    auto result = run(std::string(PARLEY_PYTHON) + " " + quote(script) + " " + args);
    EXPECT_EQ(result.status, 0) << args;
    while (!result.output.empty() && result.output.back() == '\n')
        result.output.pop_back();
    return result.output;
}

} // namespace coffer_test
