#!/usr/bin/env python3
"""Peer check of `qimtool header encode|decode` against Python's email package."""
import random
import subprocess
import sys
from email.header import Header, decode_header, make_header

QIMTOOL = sys.argv[1]
rnd = random.Random(20261210)

KANA = [chr(c) for c in range(0x3041, 0x3094)] + [chr(c) for c in range(0x30A1, 0x30F7)]
KANJI = list("日本語件名会議予定確認送信受信添付資料報告連絡山田田中鈴木佐藤東京大阪株式会社")
ASCII_WORDS = ["Re:", "Fw:", "meeting", "Qim", "[ml:123]", "2026", "OK", "test-1", "(再)"]


def jis_ok(text):
    try:
        text.encode("iso2022_jp")
        return True
    except UnicodeEncodeError:
        return False


def make_subject():
    parts = []
    for _ in range(rnd.randint(1, 14)):
        r = rnd.random()
        if r < 0.4:
            parts.append("".join(rnd.choice(KANJI + KANA) for _ in range(rnd.randint(1, 10))))
        else:
            parts.append(rnd.choice(ASCII_WORDS))
    sep = " " if rnd.random() < 0.7 else ""
    return sep.join(parts)


def make_address():
    name = "".join(rnd.choice(KANJI) for _ in range(rnd.randint(2, 8)))
    return "%s <user%d@example.jp>" % (name, rnd.randint(1, 999))


def run(args, data):
    return subprocess.run([QIMTOOL] + args, input=data, capture_output=True, check=True).stdout


def decode_with_python(folded):
    return str(make_header(decode_header(folded.replace("\r\n ", " "))))


def main():
    fields = []
    for _ in range(150):
        fields.append(("Subject", make_subject()))
    for _ in range(100):
        fields.append(("To", make_address()))
    fields = [(n, v) for n, v in fields if jis_ok(v)]
    lines = "".join("%s: %s\n" % (n, v) for n, v in fields)
    encoded = run(["header", "encode"], lines.encode("cp932")).decode("ascii")
    outputs = encoded.split("\r\n")[:-1]
    # Re-group the output lines into fields (continuations begin with a blank).
    grouped = []
    for line in outputs:
        if line.startswith(" ") and grouped:
            grouped[-1] += "\r\n" + line
        else:
            grouped.append(line)
    assert len(grouped) == len(fields), (len(grouped), len(fields))
    failures = 0
    for (name, value), folded in zip(fields, grouped):
        for line in folded.split("\r\n"):
            if len(line) > 76:
                print("too long (%d): %r" % (len(line), line))
                failures += 1
        back = decode_with_python(folded)
        want = "%s: %s" % (name, value)
        if back != want:
            print("mismatch:\n  want %r\n  got  %r\n  wire %r" % (want, back, folded))
            failures += 1

    # The other way: words made by Python decode through qimtool.
    for name, value in fields[:120]:
        wire = "%s: %s" % (name, Header(value, "iso-2022-jp").encode())
        got = run(["header", "decode", "--utf8"], (wire + "\r\n").encode("ascii")).decode("utf-8").rstrip("\r\n")
        want = "%s: %s" % (name, value)
        if got != want:
            print("decode mismatch:\n  want %r\n  got  %r\n  wire %r" % (want, got, wire))
            failures += 1
    print("%d fields checked, %d failures" % (len(fields), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
