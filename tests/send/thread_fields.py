#!/usr/bin/python3
"""Prints the fields a threading reader takes from one message, as Python's
email package reads them with its current policy: one "name value" line each
for To, Cc, Subject, In-Reply-To, References and Message-Id (values decoded,
folding undone), then "body" and the text of the first text/plain part.
Usage: thread_fields.py FILE"""
import email
import email.policy
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        msg = email.message_from_bytes(f.read(), policy=email.policy.default)
    for name in ("To", "Cc", "Subject", "In-Reply-To", "References", "Message-Id"):
        value = msg[name]
        print(name, "" if value is None else " ".join(str(value).split()))
    part = msg.get_body(preferencelist=("plain",))
    print("body")
    sys.stdout.write(part.get_content() if part is not None else "")


if __name__ == "__main__":
    main()
