#!/usr/bin/env bash
# Measures the strength levels (UCI_LimitStrength with UCI_Elo) on Stockfish's
# UCI_Elo scale and prints the ladder table: label, measured Elo, its 95 %
# interval and games. A manual measurement, hours long; not part of the test
# suite.
#
#   tools/ladder.sh [OPTIONS]
#
#   --games N      games of each link of the chain below 1200 (default
#                  800); the k-versus-k+2 checks play half as many
#   --link-games N games of the link from 1200 to full strength (default 200)
#   --slow-games N games of each slow re-measure (default 100)
#   --anchor-games N  games of each match against Stockfish (default 150)
#   --out DIR      results folder (default build/ladder): one NAME.pgn and
#                  NAME.txt (fastchess's output) per match, ladder.txt (the
#                  table), ladder.dat and ladder.png (the plot)
#   --only NAMES   play only these matches (comma-separated names from the
#                  list below); results already in DIR are reused, so a
#                  ladder can be built up over several runs
#   --table        play nothing: the table and plot from DIR's results
#   --fastchess F  the match runner (default ../shared/tools/fastchess/fastchess
#                  beside the checkout, or $FASTCHESS)
#   --concurrency N  games at once (default 2)
#
# The matches:
#   chain     400-600, 600-800, 800-1000, 1000-1200, 1200-full (5 s + 0.05 s)
#   checks    400-800, 800-1200 (5 s + 0.05 s)
#   slow      600-800-slow, 1000-1200-slow (20 s + 0.2 s)
#   anchors   1200-sfE and full-sfE for E in 1350, 1400, 1500: against
#             Stockfish limited to UCI_Elo E (5 s + 0.05 s; 1350 is
#             Debian's Stockfish 15.1's lowest UCI_Elo)
#
# Every match starts from the positions of balanced-240.epd, each played
# with both colours, with ORMEDAN's books off. Full strength and 1200 are
# anchored to Stockfish directly (a weighted mean of their anchors, 1200's
# also with the chain link to full); the labels below 1350, Stockfish
# 15.1's lowest, are carried down the chain from 1200, link by link, so
# their intervals grow as they go.
# Needs the Debian packages stockfish and gnuplot-nox (installed when
# missing) and python3.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
games=800
linkGames=200
slowGames=100
anchorGames=150
out="$root/build/ladder"
only=""
tableOnly=0
concurrency=2
fastchess="${FASTCHESS:-$root/../shared/tools/fastchess/fastchess}"
while [ $# -gt 0 ]; do
  case "$1" in
    --games) games="$2"; shift 2 ;;
    --anchor-games) anchorGames="$2"; shift 2 ;;
    --link-games) linkGames="$2"; shift 2 ;;
    --slow-games) slowGames="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    --table) tableOnly=1; shift ;;
    --fastchess) fastchess="$2"; shift 2 ;;
    --concurrency) concurrency="$2"; shift 2 ;;
    -h|--help) sed -n '2,40p' "$0"; exit 0 ;;
    *) echo "ladder.sh: unknown argument: $1" >&2; exit 2 ;;
  esac
done
case "$games$anchorGames$linkGames$slowGames" in ''|*[!0-9]*) echo "ladder.sh: the game counts are whole numbers" >&2; exit 2 ;; esac
mkdir -p "$out"
openings="$root/../shared/data/openings/balanced-240.epd"
[ -f "$openings" ] || openings="$root/tools/openings/balanced-240.epd"

need() {
  command -v "$1" >/dev/null 2>&1 || [ -x "/usr/games/$1" ] && return 0
  echo "ladder.sh: installing $2" >&2
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y "$2" >&2; else sudo apt-get install -y "$2" >&2; fi
}

if [ "$tableOnly" -eq 0 ]; then
  need stockfish stockfish
  [ -x "$fastchess" ] || { echo "ladder.sh: no fastchess at $fastchess (--fastchess F)" >&2; exit 2; }
  [ -f "$openings" ] || { echo "ladder.sh: no balanced-240.epd" >&2; exit 2; }
  stockfish=$(command -v stockfish || echo /usr/games/stockfish)
  cmake --preset release >/dev/null && cmake --build --preset release --target ormedan >/dev/null
  # The engine and its books are copied, so a rebuild during the ladder does
  # not change them.
  mkdir -p "$out/engine"
  cp "$root/build/bin/ormedan" "$out/engine/ormedan"
  cp "$root/books/"*.dat "$out/engine/"
fi

# One side of a match: "full", a label, or "sfE" for Stockfish at UCI_Elo E.
side() {
  case "$1" in
    sf*) echo "-engine name=SF${1#sf} cmd=$stockfish option.UCI_LimitStrength=true option.UCI_Elo=${1#sf}" ;;
    full) echo "-engine name=full cmd=$out/engine/ormedan args=--uci dir=$out/engine option.OwnBook=false" ;;
    *) echo "-engine name=L$1 cmd=$out/engine/ormedan args=--uci dir=$out/engine option.OwnBook=false option.UCI_LimitStrength=true option.UCI_Elo=$1" ;;
  esac
}

# play NAME A B GAMES TC
play() {
  local name=$1 a=$2 b=$3 n=$4 tc=$5
  if [ -n "$only" ] && ! printf ',%s,' "$only" | grep -q ",$name,"; then return 0; fi
  [ -n "$only" ] || { [ -s "$out/$name.txt" ] && grep -q '^Finished match' "$out/$name.txt" && return 0; }
  echo "ladder.sh: $name ($n games at $tc)" >&2
  rm -f "$out/$name.pgn"
  # shellcheck disable=SC2046
  "$fastchess" $(side "$a") $(side "$b") -each tc="$tc" \
    -openings file="$openings" format=epd order=random -rounds $(((n + 1) / 2)) -games 2 -repeat \
    -concurrency "$concurrency" -recover -pgnout file="$out/$name.pgn" >"$out/$name.txt" 2>&1 </dev/null
}

if [ "$tableOnly" -eq 0 ]; then
  (cd "$out" &&
    play 400-600 400 600 "$games" 5+0.05
    play 600-800 600 800 "$games" 5+0.05
    play 800-1000 800 1000 "$games" 5+0.05
    play 1000-1200 1000 1200 "$games" 5+0.05
    play 400-800 400 800 $((games / 2)) 5+0.05
    play 800-1200 800 1200 $((games / 2)) 5+0.05
    play 600-800-slow 600 800 "$slowGames" 20+0.2
    play 1000-1200-slow 1000 1200 "$slowGames" 20+0.2
    for e in 1350 1400 1500; do play "1200-sf$e" 1200 "sf$e" "$anchorGames" 5+0.05; done
    play 1200-full 1200 full "$linkGames" 5+0.05
    for e in 1350 1400 1500; do play "full-sf$e" full "sf$e" "$anchorGames" 5+0.05; done)
fi

# Full strength's label: UCI_Elo's highest value.
engineBin="$out/engine/ormedan"
[ -x "$engineBin" ] || engineBin="$root/build/bin/ormedan"
FULL_ELO=$(printf 'uci\nquit\n' | "$engineBin" --uci 2>/dev/null | sed -n 's/^option name UCI_Elo .* max \([0-9]*\).*/\1/p')
export FULL_ELO="${FULL_ELO:-1510}"
python3 "$root/tools/ladder_table.py" "$out" | tee "$out/ladder.txt"

if [ -s "$out/ladder.dat" ]; then
  need gnuplot gnuplot-nox
  gnuplot <<EOF
set terminal pngcairo noenhanced size 720,540 font ",11"
set output "$out/ladder.png"
set title "ORMEDAN's levels on Stockfish's UCI_Elo scale (5 s + 0.05 s)"
set xlabel "UCI_Elo label"
set ylabel "measured Elo (95 % interval)"
set key top left
set grid
set xrange [200:1700]
set yrange [200:1700]
plot x title "label = measured" with lines dashtype 2 lc rgb "#888888", \
     x - 100 title "label - 100, label + 100" with lines dashtype 3 lc rgb "#bbbbbb", \
     x + 100 notitle with lines dashtype 3 lc rgb "#bbbbbb", \
     "$out/ladder.dat" using 1:2:3 title "measured" with yerrorbars pt 7 lc rgb "#1f5fa0"
EOF
  echo "ladder.sh: plot in $out/ladder.png" >&2
fi
