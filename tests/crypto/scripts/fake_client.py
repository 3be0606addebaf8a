#!/usr/bin/python3
"""The client's side of the key exchange, written apart from the library with
Python's struct and hashlib and the cryptography package, so the tests can
check the server side against it.

  answer --keyinfo BASE64 [--version V] [--alg HEX] [--no-hash]
         [--random HEX] [--cert DER]
      reads a server key info and prints the client's answer as
      keyinfo=BASE64, key=HEX and alg=HEX lines. The options make faulty
      answers: another version, another algorithm, no hash, a hash over
      another server random, a session key encrypted to another certificate.
"""
import argparse
import base64
import hashlib
import os
import struct
import sys
import warnings

warnings.filterwarnings("ignore")

from cryptography import x509  # noqa: E402
from cryptography.hazmat.primitives.asymmetric import padding  # noqa: E402

KEY_LENGTH = {0x6610: 32, 0x660F: 24, 0x660E: 16, 0x6603: 24, 0x6609: 24, 0x6601: 8, 0x6801: 5}


def read_server(record):
    version, header_length = struct.unpack(">II", record[:8])
    header = record[8:8 + header_length]
    count, = struct.unpack(">H", header[:2])
    algs = struct.unpack(">%dI" % count, header[2:2 + 4 * count])
    rest = header[2 + 4 * count:]
    random = rest[:16] if version >= 2 and len(rest) >= 16 else b""
    return version, algs, random, record[8 + header_length:]


def cmd_answer(args):
    version, algs, random, cert_der = read_server(base64.b64decode(args.keyinfo))
    alg = args.alg if args.alg is not None else next(a for a in algs if a in KEY_LENGTH)
    if args.cert:
        cert_der = open(args.cert, "rb").read()
    public_key = x509.load_der_x509_certificate(cert_der).public_key()
    session_key = os.urandom(KEY_LENGTH.get(alg, 16))
    encrypted = public_key.encrypt(session_key, padding.PKCS1v15())
    if args.random is not None:
        random = bytes.fromhex(args.random)
    header = struct.pack(">HI", 1, alg)
    if args.version >= 2 and not args.no_hash:
        header += hashlib.md5(random + session_key).digest()
    if args.version >= 3:
        header += struct.pack(">H", 0)
    record = struct.pack(">II", args.version, len(header)) + header + encrypted
    print("keyinfo=" + base64.b64encode(record).decode())
    print("key=" + session_key.hex())
    print("alg=%x" % alg)


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("answer")
    p.add_argument("--keyinfo", required=True)
    p.add_argument("--version", type=int, default=3)
    p.add_argument("--alg", type=lambda s: int(s, 16))
    p.add_argument("--no-hash", action="store_true")
    p.add_argument("--random")
    p.add_argument("--cert")
    args = parser.parse_args()
    {"answer": cmd_answer}[args.command](args)


if __name__ == "__main__":
    sys.exit(main())
