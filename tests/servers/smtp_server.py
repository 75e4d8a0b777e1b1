#!/usr/bin/python3
"""A real SMTP server for the tests (aiosmtpd) that stores every message it
accepts as a file before it answers 250: DIR/NNNN.eml holds the data bytes as
received (dot-unstuffed, CR LF lines), DIR/NNNN.env the envelope (MAIL FROM,
then one RCPT TO a line). Usage: smtp_server.py DIR PORTFILE"""
import os
import socket
import sys
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP


class Store:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        # An address with "reject" in it is refused, so tests can see a 550.
        if "reject" in address:
            return "550 5.1.1 mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "%04d" % self.count)
        with open(base + ".env.tmp", "w") as f:
            f.write(envelope.mail_from + "\n")
            for rcpt in envelope.rcpt_tos:
                f.write(rcpt + "\n")
        with open(base + ".eml.tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".env.tmp", base + ".env")
        os.rename(base + ".eml.tmp", base + ".eml")
        return "250 OK stored"


def main():
    folder, portfile = sys.argv[1], sys.argv[2]
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    controller = Controller(Store(folder), hostname="127.0.0.1", port=port, server_hostname="localhost",
                            decode_data=False)
    controller.start()
    with open(portfile + ".tmp", "w") as f:
        f.write("%d\n" % port)
    os.rename(portfile + ".tmp", portfile)
    try:
        while True:
            time.sleep(3600)
    finally:
        controller.stop()


if __name__ == "__main__":
    main()
