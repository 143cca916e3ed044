#!/usr/bin/env python3
"""Reads one mail (the file named by the first argument) with Python's email
package and prints its text, decoded strictly under the declared charset, as
UTF-8. Exits 1, with the reason on stderr, when the mail is not a single
text/plain part, when the parser reports any defect, or when the bytes do not
decode under the charset."""
import email
import email.policy
import sys


def fail(reason):
    sys.stderr.write(reason + "\n")
    sys.exit(1)


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    message = email.message_from_bytes(data, policy=email.policy.default)
    for part in message.walk():
        if part.defects:
            fail("defects: %r" % (part.defects,))
        for name, value in part.items():
            if getattr(value, "defects", None):
                fail("defects in %s: %r" % (name, value.defects))
    if message.is_multipart() or message.get_content_type() != "text/plain":
        fail("not one text/plain part: " + message.get_content_type())
    charset = message.get_content_charset()
    if not charset:
        fail("no charset")
    payload = message.get_payload(decode=True)
    try:
        text = payload.decode(charset, "strict")
    except (UnicodeDecodeError, LookupError) as error:
        fail("does not decode as %s: %s" % (charset, error))
    sys.stdout.buffer.write(text.encode("utf-8"))


main()
