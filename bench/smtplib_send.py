#!/usr/bin/env python3
"""Sends one message file as it is through Python's smtplib to the SMTP server
on 127.0.0.1:PORT (the peer of `qimtool send` in bench/send_vs_smtplib.sh).
Usage: smtplib_send.py PORT FILE"""
import smtplib
import sys


def main():
    port, path = int(sys.argv[1]), sys.argv[2]
    with open(path, "rb") as f:
        data = f.read()
    with smtplib.SMTP("127.0.0.1", port) as smtp:
        smtp.sendmail("taro@example.jp", ["b@example.jp"], data)


if __name__ == "__main__":
    main()
