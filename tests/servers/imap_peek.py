#!/usr/bin/python3
"""What a test's Dovecot holds, read with Python's own IMAP4 client (imaplib),
so that the session's work is checked by a peer and not by itself.

  imap_peek.py PORT USER list              the mailbox names, one a line
  imap_peek.py PORT USER flags MAILBOX     "N flags..." for every message
  imap_peek.py PORT USER body MAILBOX N    message N's bytes as the server holds them
Nothing is changed on the server: mailboxes are examined, bodies peeked.
"""
import imaplib
import re
import sys


def main():
    port, user, what = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    imap = imaplib.IMAP4("127.0.0.1", port)
    imap.login(user, "secret")
    out = sys.stdout.buffer
    if what == "list":
        _, lines = imap.list()
        for line in lines:
            # (attributes) "delimiter" name
            match = re.match(rb'\((.*?)\) (NIL|"(?:[^"\\]|\\.)*") (.*)$', line)
            name = match.group(3)
            if name.startswith(b'"'):
                name = name[1:-1].replace(b'\\"', b'"').replace(b"\\\\", b"\\")
            out.write(name + b"\n")
    elif what == "flags":
        imap.select(imaplib_quote(sys.argv[4]), readonly=True)
        _, data = imap.fetch("1:*", "(FLAGS)")
        for item in data:
            if not item:
                continue
            match = re.match(rb"(\d+) \(FLAGS \((.*?)\)\)", item)
            out.write(match.group(1) + b" " + match.group(2) + b"\n")
    elif what == "body":
        imap.select(imaplib_quote(sys.argv[4]), readonly=True)
        _, data = imap.fetch(sys.argv[5], "(BODY.PEEK[])")
        out.write(data[0][1])
    imap.logout()


def imaplib_quote(name):
    return '"' + name.replace("\\", "\\\\").replace('"', '\\"') + '"'


if __name__ == "__main__":
    main()
