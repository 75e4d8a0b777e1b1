#!/usr/bin/env python3
"""Writes mailbox names, one a line in UTF-8, made of Japanese characters
(kana, kanji, symbols of JIS X 0208 and the NEC and IBM extensions),
printable ASCII and "&". Only characters whose code page 932 form maps back
to the same Unicode character are used, and no half-width katakana (Qim
widens them before encoding, other clients do not), so an independent
modified UTF-7 converter must give exactly what Qim gives."""
import argparse
import random


def cp932_double_byte_chars():
    chars = []
    for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
        for trail in list(range(0x40, 0x7F)) + list(range(0x80, 0xFD)):
            try:
                ch = bytes([lead, trail]).decode("cp932")
            except UnicodeDecodeError:
                continue
            if len(ch) == 1 and ch.encode("cp932") == bytes([lead, trail]) and ord(ch) < 0xE000:
                chars.append(ch)
    return chars


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--count", type=int, default=500)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rnd = random.Random(args.seed)
    wide = cp932_double_byte_chars()
    kana = [c for c in wide if "\u3041" <= c <= "\u30f6"]
    ascii_chars = [chr(c) for c in range(0x20, 0x7F) if chr(c) not in "-"]
    fixed = ["INBOX", "a&b", "&", "&&-", "日本語", "仕事/2026", "受信&送信", "テスト", "表示", "ソフト",
             "①②ⅰ", "～", "x-y&z", "a b~"]
    names = list(fixed)
    while len(names) < args.count:
        parts = []
        for _ in range(rnd.randint(1, 6)):
            kind = rnd.random()
            if kind < 0.3:
                parts.append("".join(rnd.choice(wide) for _ in range(rnd.randint(1, 5))))
            elif kind < 0.55:
                parts.append("".join(rnd.choice(kana) for _ in range(rnd.randint(1, 5))))
            elif kind < 0.7:
                parts.append("&" * rnd.randint(1, 2))
            else:
                parts.append("".join(rnd.choice(ascii_chars) for _ in range(rnd.randint(1, 4))))
        name = "".join(parts)
        if not name.startswith("-"):
            names.append(name)
    for name in names:
        print(name)


if __name__ == "__main__":
    main()
