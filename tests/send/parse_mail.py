#!/usr/bin/python3
"""Reads one message (bytes) with Python's email package and prints what a
reader gets from it, one item a line, each value base64 so any bytes survive:
  subject <utf-8>      the decoded Subject
  text <utf-8>         the decoded text of each text/plain part
  file <name> <bytes>  the decoded name and content of each other leaf part
  names <compat32 filename> <compat32 name> <default filename> <default name> <default bytes>
                       for each such part, the file name as each policy's reader
                       gets it (compat32 decoded as mail programs do, with
                       make_header) and the content as the current policy gives it
Usage: parse_mail.py FILE"""
import base64
import email
import email.header
import email.policy
import sys


def b64(data):
    return base64.b64encode(data).decode("ascii")


def decoded(value):
    # The pieces joined as they are: make_header would put a blank between an
    # encoded word and the plain text right after it ("=?...?=.bin").
    text = ""
    for data, charset in email.header.decode_header(value):
        text += data.decode(charset or "ascii") if isinstance(data, bytes) else data
    return text


def made(value):
    return str(email.header.make_header(email.header.decode_header(value or "")))


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    msg = email.message_from_bytes(data, policy=email.policy.compat32)
    print("subject", b64(decoded(msg["Subject"]).encode("utf-8")))
    for part in msg.walk():
        if part.is_multipart():
            continue
        if part.get_content_type() == "text/plain":
            charset = part.get_content_charset() or "us-ascii"
            text = part.get_payload(decode=True).decode(charset)
            print("text", b64(text.encode("utf-8")))
        else:
            name = decoded(part.get_param("name") or "")
            print("file", b64(name.encode("utf-8")), b64(part.get_payload(decode=True)))
    current = email.message_from_bytes(data, policy=email.policy.default)
    old = [p for p in msg.walk() if not p.is_multipart() and p.get_content_type() != "text/plain"]
    new = [p for p in current.walk() if not p.is_multipart() and p.get_content_type() != "text/plain"]
    for o, n in zip(old, new):
        values = [made(o.get_filename()), made(o.get_param("name")), n.get_filename() or "",
                  n["content-type"].params.get("name", "")]
        print("names", *[b64(v.encode("utf-8", "surrogateescape")) for v in values], b64(n.get_content()))


if __name__ == "__main__":
    main()
