#!/usr/bin/env python3
"""Reads one composed part file (the first argument: its first line is the
envelope sender, the mail follows) with Python's email package and prints
one line per leaf part: its content type, and its text decoded strictly
under the declared charset (as UTF-8, line ends shown as "|"), or the number
of bytes of a file. Exits 1, with the reason on stderr, when the parser
reports any defect or a text does not decode under its charset."""
import email
import email.policy
import sys


def fail(reason):
    sys.stderr.write(reason + "\n")
    sys.exit(1)


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    data = data[data.index(b"\n") + 1:]
    message = email.message_from_bytes(data, policy=email.policy.default)
    for part in message.walk():
        if part.defects:
            fail("defects in %s: %r" % (part.get_content_type(), part.defects))
        for name, value in part.items():
            if getattr(value, "defects", None):
                fail("defects in %s: %r" % (name, value.defects))
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True)
        if part.get_content_maintype() != "text":
            print("%s %d bytes" % (part.get_content_type(), len(payload)))
            continue
        charset = part.get_content_charset() or "us-ascii"
        try:
            text = payload.decode(charset, "strict")
        except (UnicodeDecodeError, LookupError) as error:
            fail("does not decode as %s: %s" % (charset, error))
        print("%s %s" % (part.get_content_type(), text.replace("\r\n", "|").replace("\n", "|")))


main()
