#!/usr/bin/python3
"""The server's side of the key exchange, written apart from the library with
Python's struct and hashlib and the cryptography package, so the tests can
check the client against it.

  keyinfo --version V --algs 6610,6801 [--random HEX] --cert DER [--chain DER ...]
      prints the server key info as Base64
  accept --key PEM --random HEX --keyinfo BASE64 [--message BASE64]
      reads the client key info, decrypts the session key, checks the client
      hash and decrypts a message; prints alg=, key=, hash= and plain= lines
  encrypt --alg 6610 --key HEX --plain HEX
      prints a message info holding the plain bytes, encrypted, as Base64
"""
import argparse
import base64
import hashlib
import struct
import sys
import warnings

warnings.filterwarnings("ignore")

from cryptography.hazmat.primitives import padding, serialization  # noqa: E402
from cryptography.hazmat.primitives.asymmetric import padding as rsa_padding  # noqa: E402
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes  # noqa: E402


def cipher_for(alg, key):
    """The cipher and block size of an ALG_ID, with a zero IV."""
    if alg in (0x6610, 0x660F, 0x660E, 0x6611):
        size = {0x6610: 32, 0x660F: 24, 0x660E: 16, 0x6611: 16}[alg]
        return Cipher(algorithms.AES(key[:size]), modes.CBC(bytes(16))), 128
    if alg == 0x6603:
        return Cipher(algorithms.TripleDES(key[:24]), modes.CBC(bytes(8))), 64
    if alg == 0x6609:
        return Cipher(algorithms.TripleDES(key[:16] + key[:8]), modes.CBC(bytes(8))), 64
    if alg == 0x6601:
        return Cipher(algorithms.TripleDES(key[:8] * 3), modes.CBC(bytes(8))), 64
    if alg == 0x6801:
        return Cipher(algorithms.ARC4(key[:5]), None), 0
    raise SystemExit("unknown algorithm %#x" % alg)


def encrypt(alg, key, plain):
    cipher, block = cipher_for(alg, key)
    if block:
        padder = padding.PKCS7(block).padder()
        plain = padder.update(plain) + padder.finalize()
    enc = cipher.encryptor()
    return enc.update(plain) + enc.finalize()


def decrypt(alg, key, data):
    cipher, block = cipher_for(alg, key)
    dec = cipher.decryptor()
    plain = dec.update(data) + dec.finalize()
    if block:
        unpadder = padding.PKCS7(block).unpadder()
        plain = unpadder.update(plain) + unpadder.finalize()
    return plain


def cmd_keyinfo(args):
    header = struct.pack(">H", len(args.algs)) + b"".join(struct.pack(">I", a) for a in args.algs)
    if args.version >= 2:
        header += bytes.fromhex(args.random)
    if args.version >= 3:
        chain = [open(path, "rb").read() for path in args.chain]
        header += struct.pack(">H", len(chain))
        for cert in chain:
            header += struct.pack(">H", len(cert)) + cert
    payload = open(args.cert, "rb").read()
    record = struct.pack(">II", args.version, len(header)) + header + payload
    print(base64.b64encode(record).decode())


def cmd_accept(args):
    record = base64.b64decode(args.keyinfo)
    version, header_length = struct.unpack(">II", record[:8])
    header = record[8:8 + header_length]
    payload = record[8 + header_length:]
    count, = struct.unpack(">H", header[:2])
    algs = struct.unpack(">%dI" % count, header[2:2 + 4 * count])
    rest = header[2 + 4 * count:]
    client_hash = rest[:16] if len(rest) >= 16 else b""
    with open(args.key, "rb") as f:
        private_key = serialization.load_pem_private_key(f.read(), password=None)
    session_key = private_key.decrypt(payload, rsa_padding.PKCS1v15())
    print("version=%d" % version)
    print("alg=%#x" % algs[0])
    print("key=" + session_key.hex())
    if not client_hash:
        print("hash=none")
    elif hashlib.md5(bytes.fromhex(args.random) + session_key).digest() == client_hash:
        print("hash=ok")
    else:
        print("hash=bad")
    if args.message:
        message = base64.b64decode(args.message)
        msg_version, msg_header_length = struct.unpack(">II", message[:8])
        print("msgversion=%d" % msg_version)
        print("plain=" + decrypt(algs[0], session_key, message[8 + msg_header_length:]).hex())


def cmd_encrypt(args):
    cipher_text = encrypt(args.alg, bytes.fromhex(args.key), bytes.fromhex(args.plain))
    print(base64.b64encode(struct.pack(">II", 3, 0) + cipher_text).decode())


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("keyinfo")
    p.add_argument("--version", type=int, required=True)
    p.add_argument("--algs", type=lambda s: [int(a, 16) for a in s.split(",")], required=True)
    p.add_argument("--random", default="")
    p.add_argument("--cert", required=True)
    p.add_argument("--chain", action="append", default=[])
    p = sub.add_parser("accept")
    p.add_argument("--key", required=True)
    p.add_argument("--random", default="")
    p.add_argument("--keyinfo", required=True)
    p.add_argument("--message")
    p = sub.add_parser("encrypt")
    p.add_argument("--alg", type=lambda s: int(s, 16), required=True)
    p.add_argument("--key", required=True)
    p.add_argument("--plain", required=True)
    args = parser.parse_args()
    {"keyinfo": cmd_keyinfo, "accept": cmd_accept, "encrypt": cmd_encrypt}[args.command](args)


if __name__ == "__main__":
    sys.exit(main())
