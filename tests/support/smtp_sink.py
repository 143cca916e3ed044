#!/usr/bin/python3
"""SMTP test server for Velnora's sending side, built on aiosmtpd.

Listens on three free loopback ports: plain SMTP, SMTP over implicit TLS,
and submission-style SMTP that requires STARTTLS before anything else (a
test CA and server certificate are made in the data folder). Accepts AUTH
LOGIN and PLAIN (aiosmtpd's own) and CRAM-MD5 (below) for one user. Every
accepted message is stored in the data folder as mail-NNNN.eml (the data as
received, dot-transparency removed) and mail-NNNN.env (the envelope: one
"MAIL FROM:<...>" line, then one "RCPT TO:<...>" line per recipient).
Every authentication attempt appends "MECHANISM login ok|fail" to auth.log.

Behaviour can be changed while the server runs through control.json in the
data folder, read at every command:
  {"refuse": {"HELO": "...", "EHLO": "...", "RSET": "...", "MAIL": "...",
              "RCPT": "...", "RCPT <address>": "...", "DATA": "...",
              "MESSAGE": "..."}}
Each value is the reply sent instead of accepting the command.
A scripted refusal answers one event only:
  {"id": "...", "once": [{"step": "MESSAGE", "nth": 2, "reply": "451 ..."}]}
answers the second end of message text with that reply; steps are counted
from the moment a control.json with a new "id" is first read.

Readiness: once the ports listen, "READY <plain> <tls> <starttls>" is
printed on stdout and written to the file "ready" in the data folder.
With --exit-on-stdin-eof the server ends when its stdin closes, so it never
outlives the test that started it.
"""

import argparse
import asyncio
import base64
import hashlib
import hmac
import json
import os
import ssl
import subprocess
import sys
import logging
import time

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword, auth_mechanism


def make_certificates(folder):
    """A test CA and a server certificate for 127.0.0.1 / localhost."""
    ca_key = os.path.join(folder, "ca.key")
    ca_pem = os.path.join(folder, "ca.pem")
    key = os.path.join(folder, "server.key")
    csr = os.path.join(folder, "server.csr")
    pem = os.path.join(folder, "server.pem")
    ext = os.path.join(folder, "server.ext")
    run = lambda *args: subprocess.run(["openssl", *args], check=True,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    run("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
        "-nodes", "-keyout", ca_key, "-out", ca_pem, "-days", "2", "-subj", "/CN=Velnora Test CA")
    run("req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
        "-keyout", key, "-out", csr, "-subj", "/CN=localhost")
    with open(ext, "w") as f:
        f.write("subjectAltName=DNS:localhost,IP:127.0.0.1\n")
    run("x509", "-req", "-in", csr, "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial",
        "-out", pem, "-days", "2", "-extfile", ext)
    return pem, key


class Store:
    def __init__(self, folder, user, password):
        self.folder = folder
        self.user = user.encode()
        self.password = password.encode()
        self.count = 0
        self.script_id = None
        self.events = {}

    def control(self):
        try:
            with open(os.path.join(self.folder, "control.json")) as f:
                return json.load(f)
        except (OSError, ValueError):
            return {}

    def refusal(self, key):
        control = self.control()
        scripted = self.scripted(control, key) if " " not in key else None
        return scripted or control.get("refuse", {}).get(key)

    def scripted(self, control, step):
        if control.get("id") != self.script_id:
            self.script_id = control.get("id")
            self.events = {}
        self.events[step] = self.events.get(step, 0) + 1
        for entry in control.get("once", []):
            if entry.get("step") == step and entry.get("nth") == self.events[step]:
                return entry.get("reply")
        return None

    def note_auth(self, mechanism, login, ok):
        with open(os.path.join(self.folder, "auth.log"), "a") as f:
            f.write("%s %s %s\n" % (mechanism, login.decode("latin-1"), "ok" if ok else "fail"))

    def save(self, envelope):
        self.count += 1
        base = os.path.join(self.folder, "mail-%04d" % self.count)
        with open(base + ".eml.tmp", "wb") as f:
            f.write(envelope.original_content or b"")
        os.rename(base + ".eml.tmp", base + ".eml")
        lines = ["MAIL FROM:<%s>" % envelope.mail_from]
        lines += ["RCPT TO:<%s>" % r for r in envelope.rcpt_tos]
        with open(base + ".env.tmp", "w") as f:
            f.write("\n".join(lines) + "\n")
        os.rename(base + ".env.tmp", base + ".env")


class Handler:
    def __init__(self, store):
        self.store = store

    async def handle_MAIL(self, server, session, envelope, address, options):
        refusal = self.store.refusal("MAIL")
        if refusal:
            return refusal
        envelope.mail_from = address
        envelope.mail_options.extend(options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, options):
        refusal = self.store.refusal("RCPT " + address) or self.store.refusal("RCPT")
        if refusal:
            return refusal
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        refusal = self.store.refusal("MESSAGE")
        if refusal:
            return refusal
        self.store.save(envelope)
        return "250 Message accepted for delivery"


class SinkSMTP(SMTP):
    line_length_limit = 1 << 24  # long lines are part of what is tested

    def __init__(self, handler, store, **kwargs):
        self.store = store
        super().__init__(handler, **kwargs)

    async def smtp_HELO(self, hostname):
        refusal = self.store.refusal("HELO")
        if refusal:
            await self.push(refusal)
            return
        await super().smtp_HELO(hostname)

    async def smtp_EHLO(self, hostname):
        refusal = self.store.refusal("EHLO")
        if refusal:
            await self.push(refusal)
            return
        await super().smtp_EHLO(hostname)

    async def smtp_RSET(self, arg):
        refusal = self.store.refusal("RSET")
        if refusal:
            await self.push(refusal)
            return
        await super().smtp_RSET(arg)

    async def smtp_DATA(self, arg):
        refusal = self.store.refusal("DATA")
        if refusal and self.envelope.rcpt_tos:
            await self.push(refusal)
            return
        await super().smtp_DATA(arg)

    @auth_mechanism("CRAM-MD5")
    async def auth_CRAM__MD5(self, _, args):
        challenge = ("<%d.%d@velnora-sink>" % (os.getpid(), time.time_ns())).encode()
        response = await self.challenge_auth(challenge)
        if not isinstance(response, bytes):
            return AuthResult(success=False)
        login, _, digest = response.partition(b" ")
        expected = hmac.new(self.store.password, challenge, hashlib.md5).hexdigest().encode()
        ok = login == self.store.user and hmac.compare_digest(digest, expected)
        self.store.note_auth("CRAM-MD5", login, ok)
        return AuthResult(success=ok, handled=False, auth_data=LoginPassword(login, b""))


def make_authenticator(store):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == store.user
              and auth_data.password == store.password)
        store.note_auth(mechanism, auth_data.login if isinstance(auth_data, LoginPassword) else b"?", ok)
        return AuthResult(success=ok, handled=False)
    return authenticate


async def serve(args):
    folder = os.path.abspath(args.folder)
    os.makedirs(folder, exist_ok=True)
    store = Store(folder, args.user, args.password)
    handler = Handler(store)
    excluded = [m for m in ("LOGIN", "PLAIN", "CRAM-MD5") if m not in args.auth.split(",")]
    options = dict(auth_require_tls=False, auth_exclude_mechanism=excluded,
                   authenticator=make_authenticator(store), hostname="sink.velnora.test",
                   data_size_limit=None)

    pem, key = make_certificates(folder)
    tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    tls.load_cert_chain(pem, key)

    loop = asyncio.get_running_loop()
    plain = await loop.create_server(lambda: SinkSMTP(handler, store, **options),
                                     host="127.0.0.1", port=0)
    secure = await loop.create_server(lambda: SinkSMTP(handler, store, **options),
                                      host="127.0.0.1", port=0, ssl=tls)
    upgrade = await loop.create_server(
        lambda: SinkSMTP(handler, store, tls_context=tls, require_starttls=True, **options),
        host="127.0.0.1", port=0)
    ports = tuple(s.sockets[0].getsockname()[1] for s in (plain, secure, upgrade))
    with open(os.path.join(folder, "ready.tmp"), "w") as f:
        f.write("%d %d %d\n" % ports)
    os.rename(os.path.join(folder, "ready.tmp"), os.path.join(folder, "ready"))
    print("READY %d %d %d" % ports, flush=True)

    done = loop.create_future()
    if args.exit_on_stdin_eof:
        def on_stdin():
            if not os.read(sys.stdin.fileno(), 4096) and not done.done():
                done.set_result(None)
        loop.add_reader(sys.stdin.fileno(), on_stdin)
    await done


def main():
    # aiosmtpd logs a warning about its own deprecated session field at every log-in.
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--folder", required=True, help="data folder of this server")
    parser.add_argument("--user", default="sender")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--auth", default="LOGIN,PLAIN,CRAM-MD5",
                        help="mechanisms offered, comma-separated")
    parser.add_argument("--exit-on-stdin-eof", action="store_true")
    args = parser.parse_args()
    try:
        asyncio.run(serve(args))
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
