"""Generated test mail. Every message carries its own token, both as an
X-Harness-Id header and as a body line, because forwarding may rewrite or
drop headers but keeps a plain ASCII body line."""

import re
from dataclasses import dataclass

# The body line that names a message; only the body counts, so that a
# forwarded copy that lost its text is not taken for the message.
TOKEN = re.compile(rb"This mail is (HRN-[0-9a-z]+-[0-9]+-[0-9]+)\.")

# Kinds of mail. "returned" and "report" are stopped by the default filters
# (returned-mail subject keywords, multipart/report delivery status).
FORWARDED_KINDS = ("plain", "plain", "plain", "large", "noblank")
FILTERED_KINDS = ("returned", "failure", "report")


@dataclass
class Mail:
    token: str
    account: int
    kind: str
    message_id: str
    data: bytes
    filtered: bool


def _body_lines(rng, token, size):
    lines = ["This mail is %s." % token, ""]
    words = ["alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel"]
    total = 0
    while total < size:
        line = " ".join(rng.choice(words) for _ in range(rng.randint(3, 12)))
        lines.append(line)
        total += len(line) + 2
    lines.append("end of %s" % token)
    return lines


def make_mail(rng, seed, account, number, kind, message_id):
    token = "HRN-%s-%d-%d" % (seed, account, number)
    size = rng.choice((200, 800, 3000)) if kind != "large" else rng.choice((40000, 150000))
    body = _body_lines(rng, token, size)
    headers = [
        "Return-Path: <sender%d@harness.test>" % number,
        "From: Sender %d <sender%d@harness.test>" % (number, number),
        "To: user%d@harness.test" % account,
        "Date: Tue, 08 Dec 2026 %02d:%02d:%02d +0900" % (number // 3600 % 24, number // 60 % 60,
                                                         number % 60),
        "Message-ID: <%s>" % message_id,
        "X-Harness-Id: %s" % token,
        "MIME-Version: 1.0",
    ]
    filtered = kind in FILTERED_KINDS
    if kind == "returned":
        headers.append("Subject: Returned mail: see transcript for details")
    elif kind == "failure":
        headers.append("Subject: failure notice")
    else:
        headers.append("Subject: harness mail %d of account %d" % (number, account))
    if kind == "report":
        boundary = "b-%s" % token
        headers.append('Content-Type: multipart/report; report-type=delivery-status;\r\n'
                       ' boundary="%s"' % boundary)
        body = (["--" + boundary, "Content-Type: text/plain; charset=us-ascii", ""] + body +
                ["--" + boundary, "Content-Type: message/delivery-status", "",
                 "Reporting-MTA: dns; harness.test", "", "Final-Recipient: rfc822; x@harness.test",
                 "Action: failed", "Status: 5.1.1", "", "--" + boundary + "--"])
    else:
        headers.append("Content-Type: text/plain; charset=us-ascii")
        headers.append("Content-Transfer-Encoding: 7bit")
    if kind == "noblank":
        # No empty line: the header block ends at the first line that is no field.
        text = "\r\n".join(headers + body) + "\r\n"
    else:
        text = "\r\n".join(headers) + "\r\n\r\n" + "\r\n".join(body) + "\r\n"
    return Mail(token, account, kind, message_id, text.encode("ascii"), filtered)


def tokens_in(data):
    """Tokens of harness mail found in a forwarded or stored message."""
    return [t.decode() for t in TOKEN.findall(data)]
