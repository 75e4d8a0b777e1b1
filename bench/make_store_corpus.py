#!/usr/bin/env python3
"""Writes a mail folder for the store benchmark: COUNT small numbered mail files
(1, 2, ...) as Qim keeps them (Shift_JIS, CR LF lines). Each has To, From with a
Japanese name, a Subject of ISO-2022-JP encoded words (some with "Re:" or a
list tag), a Date spread over 1995-2026 in random order, and a short Japanese
body."""
import argparse
import base64
import os
import random

NAMES = ["山田太郎", "鈴木花子", "佐藤一郎", "田中美咲", "高橋健", "伊藤さくら", "渡辺翔", "中村優子"]
WORDS = ["会議", "資料", "予定", "報告", "確認", "お知らせ", "打ち合わせ", "見積もり", "請求書", "新製品",
         "日程調整", "議事録", "出張", "休暇", "研修", "来週", "至急", "ご相談"]
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
DAYS = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]


def encoded(text):
    jis = text.encode("iso2022_jp")
    return "=?ISO-2022-JP?B?" + base64.b64encode(jis).decode("ascii") + "?="


def mail(rng, n):
    name = rng.choice(NAMES)
    subject = "".join(rng.choice(WORDS) for _ in range(rng.randint(1, 3))) + f" {n % 1000}"
    prefix = rng.choice(["", "", "Re: ", "[list:%d] " % rng.randint(1, 999)])
    year = rng.randint(1995, 2026)
    date = "%s, %d %s %d %02d:%02d:%02d +0900" % (rng.choice(DAYS), rng.randint(1, 28), rng.choice(MONTHS), year,
                                                  rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59))
    body = "".join(rng.choice(WORDS) for _ in range(12))
    lines = [
        "Return-Path: <user%d@example.jp>" % (n % 97),
        "Message-ID: <%d.%d@example.jp>" % (n, rng.randint(0, 1 << 30)),
        "To: me@example.jp",
        "From: %s <user%d@example.jp>" % (encoded(name), n % 97),
        "Subject: %s%s" % (prefix, encoded(subject)),
        "Date: " + date,
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=ISO-2022-JP",
        "",
        body,
        "",
        name,
    ]
    # Headers are ASCII; the body is stored in Shift_JIS as received mail is.
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("folder")
    parser.add_argument("--count", type=int, default=100000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    rng = random.Random(args.seed)
    for n in range(1, args.count + 1):
        with open(os.path.join(args.folder, str(n)), "wb") as f:
            f.write(mail(rng, n))


if __name__ == "__main__":
    main()
