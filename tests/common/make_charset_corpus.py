#!/usr/bin/python3
"""Writes mails as today's clients send them, made with Python's email package
(policy.default), into DIR, and beside each NAME.eml a NAME.expect with what a
reader must get from it, one item a line, values base64 (UTF-8):
  subject <b64>   the decoded Subject
  from <b64>      the decoded From
  text <b64>      a text the body shows (one or more lines)
  file <b64>      the name of an attached file
The texts come from Python's own reading of the mail (policy.default), except
where Python cannot read what Windows sends (ISO-2022-JP with the CP932
extensions): there the intended text is given.
Usage: make_charset_corpus.py DIR"""
import base64
import email
import email.header
import email.policy
import os
import sys
from email.message import EmailMessage


def b64(text):
    return base64.b64encode(text.encode("utf-8")).decode("ascii")


def new(subject="会議の件", sender="山田 太郎 <yamada@example.jp>"):
    msg = EmailMessage(policy=email.policy.default)
    msg["From"] = sender
    msg["To"] = "taro@example.jp"
    msg["Subject"] = subject
    return msg


def sjis_to_jis(text):
    """ISO-2022-JP as Windows writes it: the CP932 rows kept (Python's codec refuses them)."""
    out = b""
    kanji = False
    for ch in text:
        b = ch.encode("cp932")
        if len(b) == 1:
            if kanji:
                out += b"\x1b(B"
                kanji = False
            out += b
            continue
        if not kanji:
            out += b"\x1b$B"
            kanji = True
        s1, s2 = b[0], b[1]
        j1 = (s1 - (0x70 if s1 <= 0x9F else 0xB0)) * 2
        if s2 < 0x9F:
            j1 -= 1
            j2 = s2 - (0x20 if s2 >= 0x80 else 0x1F)
        else:
            j2 = s2 - 0x7E
        out += bytes([j1, j2])
    if kanji:
        out += b"\x1b(B"
    return out


def main():
    out_dir = sys.argv[1]
    mails = {}
    extra = {}

    m = new("会議の件 📅")
    m.set_content("こんにちは、山田です。😀\n来週の会議について。\n", cte="base64")
    mails["utf8_base64"] = m

    m = new("Résumé und Grüße", "Jürgen <j@example.de>")
    m.set_content("Grüße aus München — café\n", cte="quoted-printable")
    mails["utf8_qp"] = m

    m = new()
    m.set_content("EUC-JP の本文です。\n", charset="euc-jp", cte="8bit")
    del m["Subject"]
    m["Subject"] = email.header.Header("EUC の件名", "euc-jp").encode()
    mails["euc_jp"] = m

    m = new()
    m.set_content("シフトJISの本文。表示\n", charset="shift_jis", cte="8bit")
    mails["shift_jis"] = m

    m = new("丸数字 ①", "髙橋 <t@example.jp>")
    m.set_content("placeholder\n")
    mails["jis_cp932_ext"] = m
    extra["jis_cp932_ext"] = "① ㈱ 髙橋\n"

    m = new("添付の件")
    m.set_content("資料を送ります。\n")
    m.add_attachment(b"%PDF-1.4 data", maintype="application", subtype="pdf", filename="資料 2026年.pdf")
    mails["rfc2231_utf8"] = m

    m = new("HTML の件")
    m.set_content("<html><head><style>p{color:red}</style></head><body><p>こんにちは &amp; ようこそ</p>"
                  "<p><a href=\"https://example.jp/x\">リンク</a></p></body></html>\n", subtype="html")
    mails["html_only"] = m

    m = new("二つの形")
    m.set_content("平文のほうです。\n")
    m.add_alternative("<p>HTML のほうです。</p>\n", subtype="html")
    mails["alternative"] = m

    inner = new("元のメール", "鈴木 <suzuki@example.jp>")
    inner.set_content("転送される本文です。\n")
    m = new("Fwd: 元のメール")
    m.set_content("転送します。\n")
    m.add_attachment(inner)
    mails["forwarded"] = m

    for name, msg in mails.items():
        data = msg.as_bytes()
        if name == "jis_cp932_ext":
            head, _, _ = data.partition(b"\n\n")
            head = head.replace(b"charset=\"utf-8\"", b"charset=\"iso-2022-jp\"").replace(
                b"charset=utf-8", b"charset=iso-2022-jp")
            data = head + b"\n\n" + sjis_to_jis(extra[name])
        with open(os.path.join(out_dir, name + ".eml"), "wb") as f:
            f.write(data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))
        read = email.message_from_bytes(data, policy=email.policy.default)
        lines = ["subject " + b64(str(read["Subject"])), "from " + b64(str(read["From"]))]
        if name in extra:
            lines.append("text " + b64(extra[name]))
        else:
            body = read.get_body(preferencelist=("plain", "html"))
            text = body.get_content()
            if body.get_content_subtype() == "html":
                text = "こんにちは & ようこそ"
            lines.append("text " + b64(text))
        for part in read.iter_attachments():
            if part.get_content_type() == "message/rfc822":
                inner_msg = part.get_content()
                lines.append("text " + b64("Subject: " + str(inner_msg["Subject"])))
                lines.append("text " + b64(inner_msg.get_body().get_content()))
            elif part.get_filename():
                lines.append("file " + b64(part.get_filename()))
        with open(os.path.join(out_dir, name + ".expect"), "w") as f:
            f.write("\n".join(lines) + "\n")

    # A name in ISO-2022-JP by RFC 2231, in two continued pieces, and one only
    # in Content-Type as an encoded word.
    jis = "見積書.xlsx".encode("iso2022_jp")
    quoted = "".join("%%%02X" % c for c in jis)
    half = len(quoted) // 2
    while quoted[half - 1] == "%" or quoted[half - 2] == "%":
        half += 1
    data = ("From: a@example.jp\r\nSubject: names\r\nMIME-Version: 1.0\r\n"
            "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
            "--b\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nsee files\r\n"
            "--b\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
            "Content-Disposition: attachment;\r\n filename*0*=iso-2022-jp''%s;\r\n filename*1*=%s\r\n\r\nAAEC\r\n"
            "--b\r\nContent-Type: application/octet-stream; name=\"%s\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
            "AAEC\r\n--b--\r\n") % (quoted[:half], quoted[half:], email.header.Header("請求書.pdf", "iso-2022-jp").encode())
    data = data.encode()
    with open(os.path.join(out_dir, "rfc2231_jis.eml"), "wb") as f:
        f.write(data)
    read = email.message_from_bytes(data, policy=email.policy.default)
    lines = ["subject " + b64(str(read["Subject"])), "from " + b64(str(read["From"])), "text " + b64("see files")]
    for part in read.iter_attachments():
        lines.append("file " + b64(part.get_filename()))
    with open(os.path.join(out_dir, "rfc2231_jis.expect"), "w") as f:
        f.write("\n".join(lines) + "\n")

    # Encoded words split inside a multibyte character, in two words.
    raw = "分割された件名".encode("utf-8")
    first, second = raw[:4], raw[4:]
    subject = "=?UTF-8?B?%s?=\r\n =?UTF-8?B?%s?=" % (base64.b64encode(first).decode(), base64.b64encode(second).decode())
    data = ("From: a@example.jp\r\nSubject: %s\r\nMIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n" % subject).encode()
    data += "本文\r\n".encode("utf-8")
    with open(os.path.join(out_dir, "split_word.eml"), "wb") as f:
        f.write(data)
    read = email.message_from_bytes(data, policy=email.policy.default)
    with open(os.path.join(out_dir, "split_word.expect"), "w") as f:
        f.write("subject %s\nfrom %s\ntext %s\n" % (b64(str(read["Subject"])), b64(str(read["From"])), b64("本文\n")))


if __name__ == "__main__":
    main()
