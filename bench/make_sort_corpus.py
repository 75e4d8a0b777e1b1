#!/usr/bin/env python3
"""Writes a home directory for the sorting benchmark: an inbox of COUNT numbered
mail files as Qim keeps them (Shift_JIS, CR LF lines) with From addresses of many
senders, To of a few lists, Subjects in Japanese (ISO-2022-JP encoded words, as
received) and in ASCII, and on some mails the list fields X-ML-Name, List-Id and
X-Spam-Flag; a QIM.INI with a first sorting rule set of 20 rules (From, Subject,
To and named fields) and the folders the rules move to. Writes one pattern per
line (Shift_JIS) into PATTERNS: what grep is asked for, rule by rule."""
import argparse
import base64
import os
import random

NAMES = ["山田太郎", "鈴木花子", "佐藤一郎", "田中美咲", "高橋健", "伊藤さくら", "渡辺翔", "中村優子"]
WORDS = ["会議", "資料", "予定", "報告", "確認", "お知らせ", "打ち合わせ", "見積もり", "請求書", "新製品",
         "日程調整", "議事録", "出張", "休暇", "研修", "来週", "至急", "ご相談"]
ASCII = ["status report", "weekly digest", "build failed", "invoice", "meeting notes", "release candidate",
         "password reset", "newsletter", "order confirmation", "security alert"]
LISTS = ["qim-users", "qim-dev", "debian-jp", "ruby-list", "linux-users"]

# (header type, pattern, destination, field name, PosType)
RULES = [
    (0, "user3@example.jp", "senders/user3", "", 5),
    (0, "user17@example.jp", "senders/user17", "", 5),
    (0, "boss@corp.example.jp", "work", "", 5),
    (0, "noreply@shop.example.com", "shop", "", 5),
    (0, "山田太郎", "senders/yamada", "", 5),
    (0, "user42@", "senders/user42", "", 5),
    (1, "議事録", "work/minutes", "", 5),
    (1, "請求書", "accounts", "", 5),
    (1, "build failed", "ci", "", 1),
    (1, "invoice", "accounts", "", 5),
    (1, "[qim-dev]", "lists/qim-dev", "", 1),
    (1, "至急", "urgent", "", 5),
    (1, "newsletter", "news", "", 5),
    (1, "Re: ", "replies", "", 0),
    (2, "debian-jp@", "lists/debian-jp", "", 5),
    (2, "ruby-list@", "lists/ruby", "", 5),
    (2, "linux-users@", "lists/linux", "", 5),
    (3, "YES", "spam", "X-Spam-Flag", 0),
    (3, "qim-users", "lists/qim-users", "X-ML-Name", 0),
    (3, "<announce.example.org>", "lists/announce", "List-Id", 1),
]


def encoded(text):
    return "=?ISO-2022-JP?B?" + base64.b64encode(text.encode("iso2022_jp")).decode("ascii") + "?="


def mail(rng, n):
    lines = ["Return-Path: <bounce@example.jp>", "Message-ID: <%d.%d@example.jp>" % (n, rng.randint(0, 1 << 30))]
    kind = rng.random()
    if kind < 0.15:
        to = rng.choice(LISTS) + "@lists.example.org"
    else:
        to = "me@example.jp"
    lines.append("To: " + to)
    sender = rng.random()
    if sender < 0.05:
        frm = "Boss <boss@corp.example.jp>"
    elif sender < 0.1:
        frm = "Shop <noreply@shop.example.com>"
    elif sender < 0.5:
        frm = "%s <user%d@example.jp>" % (encoded(rng.choice(NAMES)), rng.randint(1, 99))
    else:
        frm = "user%d@example.jp" % rng.randint(1, 99)
    lines.append("From: " + frm)
    if rng.random() < 0.5:
        subject = encoded("".join(rng.choice(WORDS) for _ in range(rng.randint(1, 3))) + " %d" % (n % 1000))
    else:
        subject = rng.choice(ASCII) + " #%d" % n
    prefix = rng.choice(["", "", "", "Re: ", "[qim-dev] "])
    lines.append("Subject: " + prefix + subject)
    lines.append("Date: Thu, %d Dec 2026 %02d:%02d:00 +0900" % (rng.randint(1, 28), rng.randint(0, 23), rng.randint(0, 59)))
    if rng.random() < 0.05:
        lines.append("X-Spam-Flag: YES")
    if rng.random() < 0.08:
        lines.append("X-ML-Name: " + rng.choice(LISTS))
    if rng.random() < 0.05:
        lines.append("List-Id: Announcements <announce.example.org>")
    lines += ["MIME-Version: 1.0", "Content-Type: text/plain; charset=ISO-2022-JP", ""]
    lines += ["".join(rng.choice(WORDS) for _ in range(16)) for _ in range(rng.randint(3, 30))]
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("home")
    parser.add_argument("patterns")
    parser.add_argument("--count", type=int, default=20000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    os.makedirs(args.home, exist_ok=True)
    rng = random.Random(args.seed)
    for n in range(1, args.count + 1):
        with open(os.path.join(args.home, str(n)), "wb") as f:
            f.write(mail(rng, n))
    ini = ["[QimMoveFiles]", "Num=%d" % len(RULES)]
    for i, (kind, pattern, dest, field, pos) in enumerate(RULES):
        os.makedirs(os.path.join(args.home, dest), exist_ok=True)
        ini += ["HeaderType%d=%d" % (i, kind), "PosType%d=%d" % (i, pos), 'In%d="%s"' % (i, pattern),
                'Dest%d="%s"' % (i, dest)]
        if kind == 3:
            ini.append("HFName%d=%s" % (i, field))
    with open(os.path.join(args.home, "QIM.INI"), "wb") as f:
        f.write(("\r\n".join(ini) + "\r\n").encode("cp932"))
    with open(args.patterns, "wb") as f:
        f.write(("\n".join(r[1] for r in RULES) + "\n").encode("cp932"))


if __name__ == "__main__":
    main()
