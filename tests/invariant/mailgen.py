"""Generated test mail. Every message carries its own token, both as an
X-Harness-Id header and as a body line, because forwarding may rewrite or
drop headers but keeps a plain ASCII body line."""

import base64
import email
import email.policy
import re
from dataclasses import dataclass

# The body line that names a message; only the body counts, so that a
# forwarded copy that lost its text is not taken for the message.
TOKEN = re.compile(rb"This mail is (HRN-[0-9a-z]+-[0-9]+-[0-9]+)\.")

# Kinds of mail. "returned" and "report" are stopped by the default filters
# (returned-mail subject keywords, multipart/report delivery status). "html"
# (a single-part page) and "attached" (a text with a PDF attachment) take
# the place of some plain mail, chosen apart so that a seed's other draws
# stay as they were.
FORWARDED_KINDS = ("plain", "plain", "plain", "large", "noblank")
FILTERED_KINDS = ("returned", "failure", "report")
CONTENT_KINDS = ("html", "attached")


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


def make_mail(rng, seed, account, number, kind, message_id, filtered=None, crng=None):
    """`rng` draws what every kind has (size, words); `crng` what only the
    content kinds have (the attachment)."""
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
    if filtered is None:
        filtered = kind in FILTERED_KINDS
    if kind == "returned":
        headers.append("Subject: Returned mail: see transcript for details")
    elif kind == "failure":
        headers.append("Subject: failure notice")
    else:
        headers.append("Subject: harness mail %d of account %d" % (number, account))
    if kind == "html":
        page = "<html><head><title>t</title></head><body>" + "".join(
            "<p>%s</p>" % line for line in body if line) + "</body></html>"
        headers.append("Content-Type: text/html; charset=utf-8")
        headers.append("Content-Transfer-Encoding: base64")
        body = base64.encodebytes(page.encode()).decode().splitlines()
    elif kind == "attached":
        boundary = "a-%s" % token
        pdf = bytes(crng.randrange(256) for _ in range(crng.choice((300, 6000))))
        headers.append('Content-Type: multipart/mixed; boundary="%s"' % boundary)
        body = (["--" + boundary, "Content-Type: text/plain; charset=us-ascii", ""] + body +
                ["--" + boundary, 'Content-Type: application/pdf; name="r%d.pdf"' % number,
                 'Content-Disposition: attachment; filename="r%d.pdf"' % number,
                 "Content-Transfer-Encoding: base64", ""] +
                base64.encodebytes(b"%PDF-1.4\n" + pdf).decode().splitlines() +
                ["--" + boundary + "--"])
    elif kind == "report":
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


def _decoded_texts(data):
    """The decoded payloads of a message's parts: forwarding may re-encode
    text (Base64 after HTML to text)."""
    try:
        message = email.message_from_bytes(data, policy=email.policy.compat32)
        for part in message.walk():
            if not part.is_multipart():
                payload = part.get_payload(decode=True)
                if payload:
                    yield payload
    except Exception:  # a damaged copy simply holds no decodable token
        return


def tokens_in(data):
    """Tokens of harness mail found in a forwarded or stored message, as
    sent or inside a part's transfer encoding."""
    found = TOKEN.findall(data)
    if not found and b"base64" in data.lower():
        for payload in _decoded_texts(data):
            found += TOKEN.findall(payload)
    seen = []
    for t in found:
        if t.decode() not in seen:
            seen.append(t.decode())
    return seen
