#!/usr/bin/python3
"""SMTP servers with TLS and AUTH for the tests (aiosmtpd), one process, one
listener per variant; each stores what it accepts as smtp_server.py does, in
DIR/<variant>/. User "user", password "secret" (PLAIN, LOGIN, CRAM-MD5).
Usage: smtp_tls_server.py DIR PORTFILE CERT KEY WRONGCERT WRONGKEY
PORTFILE receives one "variant=port" line per listener."""
import hmac
import os
import socket
import ssl
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from aiosmtpd.controller import Controller  # noqa: E402
from aiosmtpd.smtp import AuthResult, MISSING  # noqa: E402
from smtp_server import Store  # noqa: E402

USER, PASSWORD = b"user", b"secret"


class AuthStore(Store):
    async def auth_CRAM__MD5(self, server, args):
        challenge = "<%d.%d@localhost>" % (os.getpid(), time.time_ns())
        response = await server.challenge_auth(challenge)
        if response is MISSING:
            return AuthResult(success=False, handled=False)
        user, _, digest = response.partition(b" ")
        good = hmac.new(PASSWORD, challenge.encode(), "md5").hexdigest().encode()
        return AuthResult(success=user == USER and hmac.compare_digest(digest, good), handled=False)


def check(mechanism, login, password):
    return login == USER and password == PASSWORD


def free_port():
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def context(cert, key):
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(cert, key)
    return ctx


def main():
    folder, portfile, cert, key, wrong_cert, wrong_key = sys.argv[1:7]
    good = context(cert, key)
    everything = dict(auth_callback=check, auth_require_tls=True)
    variants = {
        # STARTTLS; every mechanism; a small SIZE for the too-large check
        "starttls": dict(tls_context=good, data_size_limit=200000, **everything),
        "starttls_plain": dict(tls_context=good, auth_exclude_mechanism=["LOGIN", "CRAM-MD5"], **everything),
        "starttls_login": dict(tls_context=good, auth_exclude_mechanism=["PLAIN", "CRAM-MD5"], **everything),
        "implicit": dict(ssl=good, **everything),
        # no TLS; PLAIN and LOGIN only, which the client must not use in plain text unasked
        "nostarttls": dict(auth_callback=check, auth_require_tls=False, auth_exclude_mechanism=["CRAM-MD5"]),
        "mismatch": dict(ssl=context(wrong_cert, wrong_key), **everything),
    }
    controllers, lines = [], []
    for name, options in variants.items():
        os.makedirs(os.path.join(folder, name), exist_ok=True)
        port = free_port()
        implicit = options.pop("ssl", None)
        c = Controller(AuthStore(os.path.join(folder, name)), hostname="127.0.0.1", port=port,
                       server_hostname="localhost", decode_data=False, ssl_context=implicit, **options)
        c.start()
        controllers.append(c)
        lines.append("%s=%d\n" % (name, port))
    with open(portfile + ".tmp", "w") as f:
        f.writelines(lines)
    os.rename(portfile + ".tmp", portfile)
    try:
        while True:
            time.sleep(3600)
    finally:
        for c in controllers:
            c.stop()


if __name__ == "__main__":
    main()
