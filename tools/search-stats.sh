#!/usr/bin/env bash
# Sums up how ORMEDAN used its time in a match, from the lines it wrote to
# xboard (xboard's debug log, as tools/xboard-match.sh leaves it):
#
#   tools/search-stats.sh [--second] OUT_DIR/xboard.debug
#
# ORMEDAN is xboard's first engine unless --second is given. Prints the
# number of searches, how many ended at each predicted depth ("profondità"),
# the depth lowerings ("regolata profondità a"), the root cut-offs
# ("tagliato a mossa") and the median pre-analysis time in milliseconds.
set -euo pipefail
who=first
if [ "${1:-}" = "--second" ]; then
  who=second
  shift
fi
log="${1:?usage: tools/search-stats.sh [--second] XBOARD_DEBUG_LOG}"
lines="$(LC_ALL=C grep -a "^[0-9]* <$who *: " "$log" | LC_ALL=C sed "s/^[0-9]* <$who *: //" || true)"
# The engine writes the accented letter as the single byte 0xE0.
depths="$(LC_ALL=C grep -a '^profondit. [0-9][0-9]*$' <<<"$lines" | awk '{print $2}' || true)"
echo "searches: $(grep -c . <<<"$depths" || true)"
echo "depths: $(sort -n <<<"$depths" | uniq -c | awk 'NF == 2 {printf "%s%s:%s", sep, $2, $1; sep = " "}')"
echo "lowerings: $(LC_ALL=C grep -ac '^regolata profondit. a' <<<"$lines" || true)"
echo "cut-offs: $(LC_ALL=C grep -ac '^tagliato a mossa' <<<"$lines" || true)"
echo "pre-analysis-ms median: $(LC_ALL=C grep -a '^preanalisi millisecondi' <<<"$lines" | awk '{print $NF}' | sort -n |
  awk '{v[NR] = $1} END {if (NR) print v[int((NR + 1) / 2)]; else print "-"}')"
