#!/usr/bin/python3
"""Compares libcoffer3's dynamic exports with the checked-in lists.

Usage: check_exported_symbols.py LIBRARY CRYPTO_SOURCE_DIR

Every crypto/exported-symbols*.txt counts (one demangled symbol a line, '#'
starts a comment). The library must export exactly their union, and none of its
raw symbol names may also be defined by libcrypto or the C library.
"""
import glob
import os
import subprocess
import sys


# Symbols that a sanitizer build adds to every global; not part of the interface.
INSTRUMENTATION_PREFIXES = ("__odr_asan",)


def dynamic_symbols(path, demangle):
    args = ["nm", "-D", "--defined-only"] + (["-C"] if demangle else []) + [path]
    out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    names = set()
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) == 3 and not parts[2].startswith(INSTRUMENTATION_PREFIXES):
            names.add(parts[2].split("@")[0] if not demangle else parts[2])
    return names


def expected_symbols(crypto_dir):
    files = sorted(glob.glob(os.path.join(crypto_dir, "exported-symbols*.txt")))
    if not files:
        sys.exit("no exported-symbols*.txt in " + crypto_dir)
    names = set()
    for path in files:
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.strip()
                if line and not line.startswith("#"):
                    names.add(line)
    return names, files


def system_library(name):
    out = subprocess.run(["ldd", sys.argv[1]], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        if name in line and "=>" in line:
            return line.split("=>")[1].split()[0]
    return None


def main():
    library, crypto_dir = sys.argv[1], sys.argv[2]
    actual = dynamic_symbols(library, demangle=True)
    expected, files = expected_symbols(crypto_dir)
    failed = False
    for name in sorted(expected - actual):
        print("missing export: " + name)
        failed = True
    for name in sorted(actual - expected):
        print("unexpected export: " + name)
        failed = True

    raw = dynamic_symbols(library, demangle=False)
    for lib in ("libcrypto.so", "libc.so"):
        path = system_library(lib)
        if not path:
            print("cannot find " + lib + " among the library's dependencies")
            failed = True
            continue
        for name in sorted(raw & dynamic_symbols(path, demangle=False)):
            print("export clashes with " + lib + ": " + name)
            failed = True

    # OpenSSL is shared with the program and its other libraries: never torn down here.
    undefined = subprocess.run(["nm", "-D", "--undefined-only", library], check=True, capture_output=True,
                               text=True).stdout
    if "OPENSSL_cleanup" in undefined:
        print("the library calls OPENSSL_cleanup")
        failed = True

    print("checked %d exports against %s" % (len(actual), ", ".join(os.path.basename(f) for f in files)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
