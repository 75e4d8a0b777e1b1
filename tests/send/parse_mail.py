#!/usr/bin/python3
"""Reads one message (bytes) with Python's email package and prints what a
reader gets from it, one item a line, each value base64 so any bytes survive:
  subject <utf-8>      the decoded Subject
  text <utf-8>         the decoded text of each text/plain part
  file <name> <bytes>  the decoded name and content of each other leaf part
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


def main():
    with open(sys.argv[1], "rb") as f:
        msg = email.message_from_bytes(f.read(), policy=email.policy.compat32)
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


if __name__ == "__main__":
    main()
