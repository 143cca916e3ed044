#!/usr/bin/env bash
# Multipart processing: the filter stage's MIME path (bench/mime_parts_bench)
# against Python's email package (parse, walk every part, decode its
# payload, serialise the message again) on the same 20 MB mail of 100
# parts: 10 UTF-8 text parts (Base64), 10 UTF-8 HTML parts
# (quoted-printable) and 80 Base64 files. Prints MB/s of each and their ratio.
#
#   bench/mime_parts.sh [path/to/mime_parts_bench]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
bench="${1:-$here/../build/bench/mime_parts_bench}"
[ -x "$bench" ] || { echo "no mime_parts_bench at $bench (build it, or pass its path)" >&2; exit 2; }
python=/usr/bin/python3; [ -x "$python" ] || python=python3

work="$(mktemp -d /tmp/velnora-mime-XXXXXX)"
trap 'rm -rf "$work"' EXIT

"$python" - "$work/mail.eml" <<'PY'
import base64, quopri, random, sys
random.seed(11)
words = ["mail", "forward", "account", "server", "message", "velnora", "text", "link"]
kana = "あいうえおかきくけこさしすせそたちつてと日本語文字変換転送設定"
def sentence():
    return " ".join(random.choice(words) if random.random() < 0.5 else
                    "".join(random.choice(kana) for _ in range(random.randint(2, 6)))
                    for _ in range(random.randint(6, 16)))
def lines(size):
    out, length = [], 0
    while length < size:
        s = sentence()
        out.append(s)
        length += len(s.encode()) + 2
    return out
def b64(data):
    text = base64.b64encode(data).decode()
    return "\r\n".join(text[i:i + 76] for i in range(0, len(text), 76)) + "\r\n"
parts = []
for n in range(10):
    parts.append('Content-Type: text/plain; charset="utf-8"\r\nContent-Transfer-Encoding: base64\r\n\r\n'
                 + b64("\r\n".join(lines(150000)).encode()))
for n in range(10):
    html = "<html><body>" + "".join('<p>%s <a href="https://example.org/%d">%s</a></p>\r\n' % (s, n, random.choice(words))
                                    for s in lines(150000)) + "</body></html>"
    qp = quopri.encodestring(html.encode()).decode().replace("\n", "\r\n")
    parts.append('Content-Type: text/html; charset="utf-8"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n' + qp + "\r\n")
target = 20 * 1024 * 1024
used = sum(len(p) for p in parts)
each = (target - used) // 80 * 3 // 4
for n in range(80):
    parts.append('Content-Type: application/octet-stream; name="file%02d.bin"\r\n'
                 'Content-Disposition: attachment; filename="file%02d.bin"\r\nContent-Transfer-Encoding: base64\r\n\r\n'
                 % (n, n) + b64(random.randbytes(each)))
random.shuffle(parts)
head = ("From: bench@example.org\r\nTo: me@example.org\r\nSubject: bench\r\nMIME-Version: 1.0\r\n"
        'Content-Type: multipart/mixed; boundary="=_bench_boundary"\r\n\r\n')
body = "".join("--=_bench_boundary\r\n" + p for p in parts) + "--=_bench_boundary--\r\n"
with open(sys.argv[1], "wb") as f:
    f.write((head + body).encode())
PY

"$bench" --benchmark_format=json --benchmark_min_time=2 "$work/mail.eml" > "$work/velnora.json"

# Python's email package: the best of three runs.
"$python" - "$work/mail.eml" > "$work/python.txt" <<'PY'
import email, email.policy, sys, time
data = open(sys.argv[1], "rb").read()
best = None
for _ in range(3):
    start = time.perf_counter()
    message = email.message_from_bytes(data, policy=email.policy.default)
    for part in message.walk():
        if not part.is_multipart():
            part.get_payload(decode=True)
    message.as_bytes()
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
print(best)
PY

"$python" - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
run = json.load(open(work + "/velnora.json"))["benchmarks"][0]
size = os.path.getsize(work + "/mail.eml") / 1e6
ours = run["bytes_per_second"] / 1e6
theirs = size / float(open(work + "/python.txt").read())
print("%-8s %18s %18s %8s" % ("mail", "Velnora MIME path", "Python email", "ratio"))
print("%-8s %13.1f MB/s %13.1f MB/s %7.1fx" % ("%.1f MB" % size, ours, theirs, ours / theirs))
PY
