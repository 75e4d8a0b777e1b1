#!/usr/bin/env python3
"""Peer check of `qimtool mime parts` / `mime extract` against Python's email package.

Random multipart mails (nested mixed and alternative, base64 and quoted-printable
parts, Japanese file names as ISO-2022-JP encoded words) are written with Python's
email.mime, CR LF on disk as Qim stores mail. Python's walk() gives the leaf
parts and get_payload(decode=True) their bytes; qimtool must list the same leaves
in the same order, with the same names, and extract the same bytes.
"""
import os
import random
import subprocess
import sys
import tempfile
from email import message_from_bytes
from email.charset import QP, Charset
from email.header import Header, decode_header, make_header
from email.mime.application import MIMEApplication
from email.mime.base import MIMEBase
from email.mime.image import MIMEImage
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.policy import compat32

QIMTOOL = sys.argv[1]
rnd = random.Random(20261211)
CRLF_POLICY = compat32.clone(linesep="\r\n")

KANJI = list("日本語会議資料報告書添付写真東京大阪株式会社見積請求議事録")
KANA = [chr(c) for c in range(0x3041, 0x3094)] + [chr(c) for c in range(0x30A1, 0x30F7)]
GIF = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
       b"\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;")


def japanese_name():
    stem = "".join(rnd.choice(KANJI + KANA) for _ in range(rnd.randint(1, 30)))
    return stem + rnd.choice([".pdf", ".xlsx", ".txt", ".zip", ""])


def ascii_name():
    return "file-%d%s" % (rnd.randint(1, 9999), rnd.choice([".bin", ".dat", " copy.txt"]))


def name_param(name):
    """The name parameter as Japanese mailers write it: encoded words, quoted or not."""
    if all(ord(c) < 128 for c in name):
        return '"%s"' % name
    encoded = Header(name, "iso-2022-jp").encode()
    return '"%s"' % encoded if rnd.random() < 0.6 else encoded


def random_text(lines, japanese):
    out = []
    for _ in range(lines):
        words = []
        for _ in range(rnd.randint(0, 12)):
            if japanese and rnd.random() < 0.5:
                words.append("".join(rnd.choice(KANJI + KANA) for _ in range(rnd.randint(1, 8))))
            else:
                words.append(rnd.choice(["mail", "Qim", "=", "a=b", "x" * rnd.randint(1, 90), "tab\there", "café"]))
        out.append(" ".join(words))
    text = "\n".join(out)
    return text + ("\n" if rnd.random() < 0.7 else "")


def text_part():
    kind = rnd.choice(["ascii", "jis", "utf8-b64", "utf8-qp", "html-qp"])
    if kind == "ascii":
        return MIMEText(random_text(rnd.randint(0, 6), False).replace("café", "cafe"), "plain", "us-ascii")
    if kind == "jis":
        text = random_text(rnd.randint(1, 6), True).replace("café", "cafe")
        return MIMEText(text, "plain", "iso-2022-jp")
    if kind == "utf8-b64":
        return MIMEText(random_text(rnd.randint(1, 20), True), "plain", "utf-8")
    cs = Charset("utf-8")
    cs.body_encoding = QP
    return MIMEText(random_text(rnd.randint(1, 20), True), "html" if kind == "html-qp" else "plain", cs)


def binary_part():
    kind = rnd.choice(["octet", "gif", "pdf"])
    if kind == "gif":
        part = MIMEImage(GIF, "gif")
    elif kind == "pdf":
        part = MIMEApplication(b"%PDF-1.4\n" + os.urandom(rnd.randint(0, 3000)), "pdf")
    else:
        part = MIMEApplication(os.urandom(rnd.choice([0, 1, 2, 3, 54, 57, rnd.randint(0, 70000)])))
    if rnd.random() < 0.8:
        name = japanese_name() if rnd.random() < 0.6 else ascii_name()
        part.replace_header("Content-Type", "%s; name=%s" % (part.get_content_type(), name_param(name)))
    return part


def multipart(depth):
    sub = "alternative" if depth > 0 and rnd.random() < 0.4 else "mixed"
    outer = MIMEMultipart(sub)
    if rnd.random() < 0.5:
        outer.preamble = "This is a multi-part message in MIME format."
    if rnd.random() < 0.3:
        outer.epilogue = "trailing words that belong to no part"
    for _ in range(rnd.randint(1, 4)):
        r = rnd.random()
        if depth < 3 and r < 0.25:
            outer.attach(multipart(depth + 1))
        elif r < 0.6:
            outer.attach(text_part())
        else:
            outer.attach(binary_part())
    return outer


def make_mail():
    msg = multipart(0) if rnd.random() < 0.85 else rnd.choice([text_part, binary_part])()
    msg["From"] = "sender@example.jp"
    msg["Subject"] = "peer"
    return msg.as_bytes(policy=CRLF_POLICY)


QIM_TYPES = {"application": {"octet-stream", "postscript", "pgp-encrypted", "pgp-signature", "pgp-keys"},
             "text": {"plain"}, "image": {"gif", "jpeg", "x-bmp"}, "audio": {"basic"}, "video": {"mpeg"},
             "message": {"rfc822"}}


def expected_listing(part):
    """What qimtool shows for a leaf: type/subtype, encoding, charset."""
    main, sub = part.get_content_maintype(), part.get_content_subtype()
    subtype = sub if sub in QIM_TYPES.get(main, ()) else "other"
    kind = "%s/%s" % (main, subtype)
    cte = (part.get("Content-Transfer-Encoding") or "").lower()
    encoding = cte if cte in ("base64", "quoted-printable") else "none"
    charset = "-"
    if main == "text":
        plain_jis = sub == "plain" and (part.get_param("charset") or "").lower() == "iso-2022-jp"
        charset = "ISO-2022-JP" if plain_jis else "US-ASCII"
    return kind, encoding, charset


def expected_name(part):
    value = part.get_param("name")
    if value is None:
        return ""
    return str(make_header(decode_header(value)))


def expected_bytes(part):
    data = part.get_payload(decode=True)
    cte = (part.get("Content-Transfer-Encoding") or "").lower()
    if cte == "base64":
        return data
    # Text bodies come out of Qim with every line ended by CR LF: the unencoded
    # copy and the quoted-printable decoder both write CR LF after each hard line
    # end, and the last line of a part is read with the line end that precedes
    # the next delimiter, so it gets one too. Python keeps the line ends of the
    # file and leaves that last one to the delimiter.
    data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    raw = part.get_payload(decode=False)
    soft_end = cte == "quoted-printable" and raw.rstrip("\r\n").endswith("=")
    if data and not data.endswith(b"\r\n") and not soft_end:
        data += b"\r\n"
    return data


def run(args):
    return subprocess.run([QIMTOOL] + args, capture_output=True)


def check_mail(path, problems):
    with open(path, "rb") as f:
        msg = message_from_bytes(f.read())
    leaves = [p for p in msg.walk() if not p.is_multipart()]
    listed = run(["mime", "parts", "--utf8", path])
    if listed.returncode != 0:
        problems.append("%s: mime parts failed: %s" % (path, listed.stderr.decode(errors="replace")))
        return 0
    rows = [line.split("\t") for line in listed.stdout.decode("utf-8").splitlines()]
    if len(rows) != len(leaves):
        problems.append("%s: %d parts listed, Python has %d" % (path, len(rows), len(leaves)))
        return 0
    for number, (row, part) in enumerate(zip(rows, leaves), 1):
        kind, encoding, charset = expected_listing(part)
        if row[2:5] != [kind, encoding, charset]:
            problems.append("%s part %d: %s, Python %s" % (path, number, row[2:5], [kind, encoding, charset]))
        if row[5] != expected_name(part):
            problems.append("%s part %d: name %r, Python %r" % (path, number, row[5], expected_name(part)))
        out = path + ".part"
        got = run(["mime", "extract", path, str(number), out])
        if got.returncode != 0:
            problems.append("%s part %d: extract failed: %s" % (path, number, got.stderr.decode(errors="replace")))
            continue
        with open(out, "rb") as f:
            data = f.read()
        if data != expected_bytes(part):
            problems.append("%s part %d (%s %s): %d bytes, Python %d" %
                            (path, number, kind, encoding, len(data), len(expected_bytes(part))))
    return len(leaves)


def main():
    problems = []
    parts = 0
    with tempfile.TemporaryDirectory() as work:
        for i in range(70):
            path = os.path.join(work, "mail%d.eml" % i)
            data = make_mail()
            assert b"\r\n" in data and b"\n" not in data.replace(b"\r\n", b""), "mails are CR LF on disk"
            with open(path, "wb") as f:
                f.write(data)
            parts += check_mail(path, problems)
    for p in problems[:40]:
        print(p)
    print("%d leaf parts compared, %d differences" % (parts, len(problems)))
    if parts < 150:
        print("too few parts were compared")
        return 1
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
