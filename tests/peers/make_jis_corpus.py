#!/usr/bin/env python3
"""Writes Shift_JIS mail-like text drawn from JIS X 0208 (kanji, kana,
symbols) and ASCII, CR LF lines. Only characters that ISO-2022-JP carries are
used, and only those whose code page 932 form maps to the same Unicode
character, so nkf and glibc iconv convert it exactly as Qim does."""
import argparse
import random
import sys


def jis_x0208_chars():
    chars = []
    for j1 in range(0x21, 0x75):
        for j2 in range(0x21, 0x7F):
            try:
                ch = bytes([0x1B, 0x24, 0x42, j1, j2, 0x1B, 0x28, 0x42]).decode("iso2022_jp")
                sjis = ch.encode("cp932")
                # Leave out the few cells (such as the wave dash) whose Windows
                # code page form is another Unicode character: glibc's
                # ISO-2022-JP cannot encode those forms.
                if len(sjis) == 2 and sjis.decode("cp932") == ch:
                    chars.append(ch)
            except (UnicodeDecodeError, UnicodeEncodeError):
                pass
    return chars


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--lines", type=int, default=1000)
    ap.add_argument("--bytes", type=int, default=0, help="write at least this many bytes instead")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rnd = random.Random(args.seed)
    jis = jis_x0208_chars()
    kana = [c for c in jis if "\u3041" <= c <= "\u30f6"]
    words = ["Subject:", "Re:", "meeting", "Qim", "2026", "mail", "(test)", "http://example.jp/", "a-b_c", "OK."]
    out = sys.stdout.buffer
    written = 0
    line_no = 0
    while (args.bytes and written < args.bytes) or (not args.bytes and line_no < args.lines):
        parts = []
        for _ in range(rnd.randint(1, 12)):
            kind = rnd.random()
            if kind < 0.35:
                parts.append("".join(rnd.choice(jis) for _ in range(rnd.randint(1, 8))))
            elif kind < 0.6:
                parts.append("".join(rnd.choice(kana) for _ in range(rnd.randint(1, 6))))
            else:
                parts.append(rnd.choice(words))
        line = (" " if rnd.random() < 0.5 else "").join(parts)
        data = line.encode("cp932") + b"\r\n"
        out.write(data)
        written += len(data)
        line_no += 1


if __name__ == "__main__":
    main()
