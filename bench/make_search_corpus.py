#!/usr/bin/env python3
"""Writes a mail folder for the search benchmark: numbered mail files (1, 2, ...)
of a few KB each, Shift_JIS text with CR LF lines as Qim stores them. Half of the
mails carry a Subject of ISO-2022-JP encoded words (folded like a mailer folds
them), the other half a plain one. A few mails hold the marker words the
benchmark looks for: "needle" in the body of 1 in 100, the Japanese word
"検索語" in the body of 1 in 200 and in the encoded Subject of 1 in 200 (all even numbers)."""
import argparse
import base64
import os
import random

MARK_ASCII = "needle"
MARK_JAPANESE = "検索語"


def jis_x0208_chars():
    chars = []
    for j1 in range(0x21, 0x75):
        for j2 in range(0x21, 0x7F):
            try:
                ch = bytes([0x1B, 0x24, 0x42, j1, j2, 0x1B, 0x28, 0x42]).decode("iso2022_jp")
                sjis = ch.encode("cp932")
                if len(sjis) == 2 and sjis.decode("cp932") == ch:
                    chars.append(ch)
            except (UnicodeDecodeError, UnicodeEncodeError):
                pass
    return chars


def encoded_words(text, chunk=10):
    """The text as ISO-2022-JP B encoded words of a few characters each, one per
    line as a mailer folds a long Subject."""
    words = []
    for i in range(0, len(text), chunk):
        payload = base64.b64encode(text[i:i + chunk].encode("iso2022_jp")).decode("ascii")
        words.append("=?ISO-2022-JP?B?" + payload + "?=")
    return "\r\n ".join(words)


class Writer:
    def __init__(self, seed):
        self.rnd = random.Random(seed)
        jis = jis_x0208_chars()
        self.kanji = [c for c in jis if ord(c) >= 0x4E00]
        self.kana = [c for c in jis if "\u3041" <= c <= "\u30f6"]
        self.words = ["meeting", "schedule", "Qim", "report", "2026", "mail", "(draft)", "http://example.jp/",
                      "project", "OK.", "review", "Thanks,", "budget", "a-b_c", "release"]

    def japanese(self, count):
        r = self.rnd
        out = []
        for _ in range(count):
            out.append(r.choice(self.kanji) if r.random() < 0.4 else r.choice(self.kana))
        return "".join(out)

    def body_line(self):
        r = self.rnd
        parts = []
        for _ in range(r.randint(2, 8)):
            if r.random() < 0.55:
                parts.append(self.japanese(r.randint(2, 10)))
            else:
                parts.append(r.choice(self.words))
        return " ".join(parts) + "。" if r.random() < 0.5 else " ".join(parts)

    def mail(self, number):
        r = self.rnd
        subject_words = self.japanese(r.randint(8, 24))
        if number % 200 == 8:
            subject_words = subject_words[:4] + MARK_JAPANESE + subject_words[4:]
        if number % 2 == 0:
            subject = encoded_words(subject_words)
        else:
            subject = "Re: " + " ".join(r.choice(self.words) for _ in range(r.randint(3, 8)))
        header = [
            "Return-Path: <sender%d@example.jp>" % number,
            "Received: from mail.example.jp (mail.example.jp [192.0.2.%d])" % (number % 250),
            "\tby mx.example.jp (Postfix) with ESMTP id %08X" % r.getrandbits(32),
            "\tfor <user@example.jp>; Thu, 10 Dec 2026 13:%02d:%02d +0900 (JST)" % (number % 60, r.randint(0, 59)),
            "Date: Thu, 10 Dec 2026 13:%02d:%02d +0900" % (number % 60, r.randint(0, 59)),
            "From: sender%d@example.jp" % number,
            "To: user@example.jp",
            "Subject: " + subject,
            "Message-ID: <%d.%08x@example.jp>" % (number, r.getrandbits(32)),
            "MIME-Version: 1.0",
            "Content-Type: text/plain; charset=ISO-2022-JP",
            "Content-Transfer-Encoding: 7bit",
        ]
        lines = [self.body_line() for _ in range(r.randint(20, 60))]
        if number % 100 == 3:
            at = r.randrange(len(lines))
            lines[at] += " " + MARK_ASCII
        if number % 200 == 11:
            at = r.randrange(len(lines))
            lines[at] += MARK_JAPANESE
        text = "\r\n".join(header) + "\r\n\r\n" + "\r\n".join(lines) + "\r\n"
        return text.encode("cp932")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("folder")
    ap.add_argument("--count", type=int, default=20000)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    writer = Writer(args.seed)
    for number in range(1, args.count + 1):
        with open(os.path.join(args.folder, str(number)), "wb") as f:
            f.write(writer.mail(number))


if __name__ == "__main__":
    main()
