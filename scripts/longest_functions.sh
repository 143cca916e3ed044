#!/usr/bin/env bash
# Lists the longest function definitions in src/, longest first: line count
# (from the first line of the signature to the closing brace), name and
# file:line. Needs universal-ctags (scripts/setup.sh installs it).
#
#   scripts/longest_functions.sh          the 20 longest
#   scripts/longest_functions.sh 60       every function over 60 lines; exits 1
#                                         when there is one, so CI can hold the line
#   scripts/longest_functions.sh -n 50    the 50 longest
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  echo "usage: $0 [LIMIT] [-n COUNT]" >&2
  exit 2
}

limit=""
count=20
while [ $# -gt 0 ]; do
  case "$1" in
    -n) [ $# -ge 2 ] || usage; count=$2; shift 2 ;;
    -h | --help) usage ;;
    *) limit=$1; shift ;;
  esac
done
for number in "$count" ${limit:+"$limit"}; do
  [[ "$number" =~ ^[0-9]+$ ]] || usage
done

if ! ctags --version 2>/dev/null | grep -q "Universal Ctags"; then
  echo "$0: universal-ctags is needed (apt-get install universal-ctags)" >&2
  exit 2
fi

# One row per function definition: end line, start line, file, scope, name.
# Anonymous namespaces and the project namespace add nothing to a name.
rows=$(ctags -x --_xformat='%{end}	%n	%F	%{scope}	%N' --fields=+ne --kinds-C++=f \
         --languages=C++ --langmap=C++:+.h -R src |
       awk -F'\t' '$1 ~ /^[0-9]+$/ {
         scope = $4
         gsub(/(^|::)__anon[0-9a-f]+/, "", scope)
         sub(/^::/, "", scope)
         sub(/^velnora(::|$)/, "", scope)
         name = scope == "" ? $5 : scope "::" $5
         printf "%d\t%s\t%s:%d\n", $1 - $2 + 1, name, $3, $2
       }' | sort -t$'\t' -k1,1nr -k3,3)

show() { awk -F'\t' '{ printf "%5d  %-44s %s\n", $1, $2, $3 }'; }

if [ -n "$limit" ]; then
  over=$(awk -F'\t' -v limit="$limit" '$1 > limit' <<<"$rows")
  if [ -z "$over" ]; then
    echo "no function in src/ is over $limit lines"
    exit 0
  fi
  show <<<"$over"
  echo "$(wc -l <<<"$over") function(s) over $limit lines" >&2
  exit 1
fi
head -n "$count" <<<"$rows" | show
