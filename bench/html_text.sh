#!/usr/bin/env bash
# HTML to text: HtmlToText (bench/html_text_bench) against `w3m -dump` on
# the same UTF-8 HTML of 1, 5 and 20 MB (Japanese and English paragraphs,
# links, tables, lists, entities, style and script), in one run. Prints MB/s
# of each and their ratio.
#
#   bench/html_text.sh [path/to/html_text_bench]
#
# Needs w3m (scripts/setup.sh).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
bench="${1:-$here/../build/bench/html_text_bench}"
[ -x "$bench" ] || { echo "no html_text_bench at $bench (build it, or pass its path)" >&2; exit 2; }
command -v w3m >/dev/null || { echo "w3m is missing (scripts/setup.sh)" >&2; exit 2; }
python=/usr/bin/python3; [ -x "$python" ] || python=python3

work="$(mktemp -d /tmp/velnora-html-XXXXXX)"
trap 'rm -rf "$work"' EXIT

"$python" - "$work" <<'PY'
import random, sys
random.seed(7)
words = ["mail", "forward", "account", "server", "message", "velnora", "text", "link", "table", "list"]
kana = "あいうえおかきくけこさしすせそたちつてと日本語文字変換転送設定"
def paragraph():
    parts = []
    for _ in range(random.randint(8, 30)):
        r = random.random()
        if r < 0.45:
            parts.append(random.choice(words))
        elif r < 0.8:
            parts.append("".join(random.choice(kana) for _ in range(random.randint(2, 8))))
        elif r < 0.88:
            parts.append('<a href="https://example.org/%s?id=%d&amp;x=1">%s</a>' % (random.choice(words), random.randint(1, 999), random.choice(words)))
        elif r < 0.94:
            parts.append(random.choice(["&amp;", "&lt;", "&gt;", "&nbsp;", "&#12354;", "&#x1F600;", "&eacute;", "&copy;"]))
        else:
            parts.append("<b>%s</b>" % random.choice(words))
    return " ".join(parts)
def block():
    r = random.random()
    if r < 0.6:
        return "<p>%s</p>\n" % paragraph()
    if r < 0.75:
        return "<ul>\n" + "".join("<li>%s</li>\n" % paragraph() for _ in range(3)) + "</ul>\n"
    if r < 0.9:
        return "<table>\n" + "".join("<tr><td>%s</td><td>%s</td></tr>\n" % (random.choice(words), paragraph()) for _ in range(3)) + "</table>\n"
    if r < 0.95:
        return "<style>p { margin: 0 }</style><script>if (a < b) { c = '<p>'; }</script>\n"
    return "<h2>%s</h2>\n<hr>\n" % random.choice(words)
for mb in (1, 5, 20):
    size = mb * 1024 * 1024
    head = '<html><head><meta charset="utf-8"><title>bench</title></head><body>\n'
    chunks, length = [head], len(head.encode())
    while length < size:
        b = block()
        chunks.append(b)
        length += len(b.encode())
    chunks.append("</body></html>\n")
    with open("%s/%dmb.html" % (sys.argv[1], mb), "w", encoding="utf-8") as f:
        f.write("".join(chunks))
PY

"$bench" --benchmark_format=json --benchmark_min_time=1 "$work"/1mb.html "$work"/5mb.html "$work"/20mb.html \
  > "$work/velnora.json"

# w3m: the best of three runs per file, output discarded.
for mb in 1 5 20; do
  best=""
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    w3m -dump -T text/html -I UTF-8 -O UTF-8 "$work/${mb}mb.html" > /dev/null
    end=$(date +%s.%N)
    best=$("$python" -c "t = $end - $start; b = '$best'; print(min(t, float(b)) if b else t)")
  done
  echo "$mb $best" >> "$work/w3m.txt"
done

"$python" - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
runs = {os.path.basename(b["name"]).split(".")[0]: b for b in json.load(open(work + "/velnora.json"))["benchmarks"]}
print("%-6s %14s %14s %8s" % ("size", "HtmlToText", "w3m -dump", "ratio"))
for line in open(work + "/w3m.txt"):
    mb, seconds = line.split()
    size = os.path.getsize("%s/%smb.html" % (work, mb)) / 1e6
    ours = runs[mb + "mb"]["bytes_per_second"] / 1e6
    theirs = size / float(seconds)
    print("%-6s %9.1f MB/s %9.1f MB/s %7.1fx" % (mb + " MB", ours, theirs, ours / theirs))
PY
