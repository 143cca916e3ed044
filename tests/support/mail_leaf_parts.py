#!/usr/bin/env python3
"""Reads one mail (the file named by the first argument) with Python's email
package and prints one line per leaf part: its content type, its charset
(or "-"), the SHA-256 of its decoded payload and, for text parts, the text
decoded strictly under its charset (US-ASCII without one), as UTF-8 with line ends shown as "\\n".
Exits 1, with the reason on stderr, when the parser reports any defect or a
text part does not decode under its declared charset."""
import email
import email.policy
import hashlib
import sys


def fail(reason):
    sys.stderr.write(reason + "\n")
    sys.exit(1)


def main():
    with open(sys.argv[1], "rb") as f:
        message = email.message_from_bytes(f.read(), policy=email.policy.default)
    for part in message.walk():
        if part.defects:
            fail("defects in %s: %r" % (part.get_content_type(), part.defects))
        for name, value in part.items():
            if getattr(value, "defects", None):
                fail("defects in %s: %r" % (name, value.defects))
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True) or b""
        charset = part.get_content_charset()
        text = ""
        if part.get_content_maintype() == "text":
            try:
                # Without a label, text is US-ASCII (RFC 2045).
                text = payload.decode(charset or "us-ascii", "strict")
            except (UnicodeDecodeError, LookupError) as error:
                fail("does not decode as %s: %s" % (charset, error))
        line = "%s %s %s %s" % (part.get_content_type(), charset or "-",
                                hashlib.sha256(payload).hexdigest(),
                                text.replace("\r\n", "\\n").replace("\n", "\\n"))
        sys.stdout.buffer.write(line.rstrip().encode("utf-8") + b"\n")


main()
