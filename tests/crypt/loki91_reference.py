#!/usr/bin/env python3
"""An independent model of the mail cipher (LOKI91 structure), written from the
algorithm's text and not from the C++ code: it prints the known-answer table
that Loki91KnownAnswers.txt holds and the C++ cipher is checked against.

    python3 loki91_reference.py > Loki91KnownAnswers.txt

Lines: "S input output", "F x k output", "K key subkey0 ... subkey15" and
"E key plain cipher" (hex; blocks and keys as bytes in file order)."""

import sys

P = [30, 4, 28, 10, 16, 23, 24, 27, 1, 2, 9, 18, 17, 29, 0, 13,
     26, 8, 12, 15, 21, 22, 14, 7, 5, 6, 31, 25, 3, 11, 20, 19]
ROWS = [375, 379, 391, 395, 397, 415, 419, 425, 433, 445, 451, 463, 471, 477, 487, 499]
EXPONENT = 31
MASK32 = 0xFFFFFFFF


def gf_mul(a, b, g):
    # Schoolbook: the full carry-less product first, then reduction from the top bit.
    product = 0
    for bit in range(8):
        if (b >> bit) & 1:
            product ^= a << bit
    for bit in range(15, 7, -1):
        if (product >> bit) & 1:
            product ^= g << (bit - 8)
    return product


def gf_pow(t, e, g):
    # Plain repeated multiplication (e is small), unlike the square-and-multiply of the program.
    result = 1
    for _ in range(e):
        result = gf_mul(result, t, g)
    return result


def s_function(i):
    r = ((i >> 8) & 0xC) | (i & 3)
    c = (i >> 2) & 0xFF
    t = (c + ((r * 17) ^ 0xFF)) & 0xFF
    return gf_pow(t, EXPONENT, ROWS[r])


def permute(b):
    bits = [(b >> P[j]) & 1 for j in range(32)]
    return sum(bit << (31 - j) for j, bit in enumerate(bits))


def f(x, k):
    a = (x ^ k) & MASK32
    inputs = [a & 0xFFF, (a >> 8) & 0xFFF, (a >> 16) & 0xFFF, ((a >> 24) | ((a & 0xF) << 8)) & 0xFFF]
    b = 0
    for n, i in enumerate(inputs):
        b |= s_function(i) << (8 * n)
    return permute(b)


def rotl(v, n):
    return ((v << n) | (v >> (32 - n))) & MASK32


def subkeys(key):
    k0 = int.from_bytes(key[0:4], "little")
    k1 = int.from_bytes(key[4:8], "little")
    sk = []
    for _ in range(4):
        sk.append(k1)
        k1 = rotl(k1, 13)
        sk.append(k1)
        k1 = rotl(k1, 12)
        sk.append(k0)
        k0 = rotl(k0, 13)
        sk.append(k0)
        k0 = rotl(k0, 12)
    return sk


def encrypt(key, block):
    sk = subkeys(key)
    left = int.from_bytes(block[0:4], "little")
    right = int.from_bytes(block[4:8], "little")
    for i in range(0, 16, 2):
        right ^= f(left, sk[i])
        left ^= f(right, sk[i + 1])
    return right.to_bytes(4, "little") + left.to_bytes(4, "little")


def decrypt(key, block):
    sk = subkeys(key)
    left = int.from_bytes(block[0:4], "little")
    right = int.from_bytes(block[4:8], "little")
    for i in range(16, 0, -2):
        right ^= f(left, sk[i - 1])
        left ^= f(right, sk[i - 2])
    return right.to_bytes(4, "little") + left.to_bytes(4, "little")


def typed_key(text):
    return (text.encode("latin-1") + b"\0" * 8)[:8]


def main():
    out = sys.stdout
    for i in [0x000, 0x001, 0x002, 0x003, 0x004, 0x0FF, 0x100, 0x3FC, 0x400, 0x7FF, 0x800, 0xA5A, 0xC03, 0xF0F, 0xFFF]:
        out.write("S %03x %02x\n" % (i, s_function(i)))
    for x, k in [(0, 0), (0xFFFFFFFF, 0), (0x01234567, 0x89ABCDEF), (0x80000001, 0x0000000F), (0xDEADBEEF, 0xFEEDFACE)]:
        out.write("F %08x %08x %08x\n" % (x, k, f(x, k)))
    for key in [bytes(8), bytes(range(1, 9)), typed_key("abc")]:
        out.write("K %s %s\n" % (key.hex(), " ".join("%08x" % v for v in subkeys(key))))
    cases = [
        (bytes(8), bytes(8)),
        (b"\xff" * 8, b"\xff" * 8),
        (bytes(range(1, 9)), b"QimMail!"),
        (typed_key("abc"), b"abc" + bytes(5)),
        (typed_key("password"), b"\x00\x00\x00\x00\x00\x00\x00\x01"),
        (typed_key("password"), b"\x80\x00\x00\x00\x00\x00\x00\x00"),
        (bytes.fromhex("0123456789abcdef"), bytes.fromhex("fedcba9876543210")),
        (bytes.fromhex("8182838485868788"), "日本語".encode("cp932") + b"\r\n"),
    ]
    for key, plain in cases:
        cipher = encrypt(key, plain)
        assert decrypt(key, cipher) == plain
        out.write("E %s %s %s\n" % (key.hex(), plain.hex(), cipher.hex()))


if __name__ == "__main__":
    main()
