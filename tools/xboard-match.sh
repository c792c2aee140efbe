#!/usr/bin/env bash
# Plays a match of ORMEDAN under a real xboard, headless, against Fairy-Max or
# against a second copy of itself, and sums up how the games ended. A manual
# check of the engine in the GUI it was written for; not part of the test
# suite.
#
#   tools/xboard-match.sh [OPTIONS] [GAMES] [TIME_PER_40_MOVES] [OUT_DIR]
#
#   --self      the opponent is a second ORMEDAN, started in its own copy of
#               the books (OUT_DIR/books-second/) instead of Fairy-Max
#   --features  start ORMEDAN (both copies with --self) with --features:
#               xboard protocol 2; without it the plain protocol, and xboard
#               waits about 10 s at each engine start for features
#   --uci       start ORMEDAN in its UCI mode, through polyglot (xboard's
#               -fUCI); needs the Debian package polyglot
#   --fen FILE  play the games from the positions of FILE, each twice with
#               the colours exchanged (xboard's -lpf FILE -lpi -2)
#   --pgn FILE  the same from the games of a PGN file (-lgf FILE -lgi -2)
#   --ponder    both engines think on the opponent's time (xboard's
#               -ponder: "hard" to protocol-2 engines; polyglot turns it
#               into UCI "go ponder" and "ponderhit")
#   --inc SECS  an increment control: TIME_PER_40_MOVES becomes the base
#               time of the whole game, plus SECS after each move
#   --option NAME=VALUE
#               sets an option of the first ORMEDAN (xboard's -firstOptions;
#               through polyglot it becomes UCI's setoption), for instance
#               --option UCI_LimitStrength=1 --option UCI_Elo=800; repeatable
#
# TIME_PER_40_MOVES is minutes or minutes:seconds (as xboard -tc takes it).
# Defaults: 4 games (the first engine, ORMEDAN, has white in the odd games and
# black in the even ones), 1 minute per 40 moves, results in
# build/xboard-match/: games.pgn, xboard.debug (xboard's debug log) and
# exits.log (each engine exit status). The engine is copied there first, so a
# rebuild during the match does not change it. Needs the Debian packages
# xboard, fairymax, xvfb and xauth.
#
# The summary is one "key: value" line each: games, each player's wins, draws
# and losses, each ending as xboard recorded it (result comment and result),
# then counts of false claims, illegal moves, moves refused by an engine, time
# losses and engine exits (xboard's texts, plus non-zero exit statuses), and
# each engine's start-up wait (xboard's "xboard" command to its first "new"),
# and the largest share of its clock that any one move of each engine took
# (from the "time" sent before it to the move).
set -euo pipefail
cd "$(dirname "$0")/.."
self=0
features=0
uci=0
fen=""
pgnfile=""
inc=""
ponder="-xponder"
options=""
while [ $# -gt 0 ]; do
  case "$1" in
    --self) self=1 ;;
    --features) features=1 ;;
    --uci) uci=1 ;;
    --fen) fen="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift ;;
    --pgn) pgnfile="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift ;;
    --inc) inc="$2"; shift ;;
    --ponder) ponder="-ponder" ;;
    --option) options="${options:+$options,}$2"; shift ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) break ;;
  esac
  shift
done
games="${1:-4}"
minutes="${2:-1}"
out="${3:-build/xboard-match}"
export PATH="$PATH:/usr/games"
needed=(xboard xvfb-run)
[ "$self" -eq 0 ] && needed+=(fairymax)
[ "$uci" -eq 1 ] && needed+=(polyglot)
for tool in "${needed[@]}"; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install xboard fairymax xvfb xauth)" >&2; exit 2; }
done
if [ ! -x build/bin/ormedan ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 --target ormedan >&2
fi
mkdir -p "$out"
out="$(cd "$out" && pwd)"
rm -rf "$out/games.pgn" "$out/xboard.debug" "$out/exits.log" "$out/engine" "$out/books-second"
mkdir -p "$out/engine"
cp build/bin/ormedan "$out/engine/ormedan.bin"
# The engine runs under a wrapper named like it (xboard names an engine after
# its program) that notes how it ended: xboard scores an engine that dies
# mid-game as a loss on time and says nothing else about it. xboard ends its
# engines with SIGTERM after "quit"; the wrapper passes it on and marks it.
cat >"$out/engine/ormedan" <<EOF
#!/usr/bin/env bash
trap '' INT
ended=exit
trap 'ended=terminated; kill -TERM "\$pid" 2>/dev/null' TERM
exec 3<&0
"$out/engine/ormedan.bin" "\$@" <&3 3<&- &
pid=\$!
while :; do
  wait "\$pid" && status=0 || status=\$?
  kill -0 "\$pid" 2>/dev/null || break
done
echo "\$PWD \$ended \$status" >>"$out/exits.log"
exit "\$status"
EOF
chmod +x "$out/engine/ormedan"
engine="$out/engine/ormedan"
[ "$features" -eq 1 ] && engine="$engine --features"
[ "$uci" -eq 1 ] && engine="$engine --uci"
args=(-fcp "$engine" -fd "$PWD/books")
[ "$uci" -eq 1 ] && args+=(-fUCI)
[ -n "$options" ] && args+=(-firstOptions "$options")
if [ "$self" -eq 1 ]; then
  cp -r books "$out/books-second"
  args+=(-scp "$engine" -sd "$out/books-second" -fn "ORMEDAN-1" -sn "ORMEDAN-2")
  [ "$uci" -eq 1 ] && args+=(-sUCI)
else
  args+=(-scp fairymax)
fi

# -autoCallFlag: a silent or slow engine loses on time instead of hanging the
# match; -xexit: xboard ends after the last game; the user's saved xboard
# settings are left as they are.
[ -n "$fen" ] && args+=(-lpf "$fen" -lpi -2)
[ -n "$pgnfile" ] && args+=(-lgf "$pgnfile" -lgi -2)
if [ -n "$inc" ]; then
  args+=(-tc "$minutes" -inc "$inc")
else
  args+=(-mps 40 -tc "$minutes")
fi
xvfb-run -a xboard -noGUI -xexit -saveSettingsOnExit false -autoCallFlag true "$ponder" -mg "$games" \
  -sgf "$out/games.pgn" -debug -nameOfDebugFile "$out/xboard.debug" "${args[@]}" >/dev/null 2>&1 || true

pgn="$out/games.pgn"
log="$out/xboard.debug"
touch "$pgn" "$log" "$out/exits.log"
# Each game's ending: the comment just before the result that closes its
# movetext (the file is read as one line, as a comment may be wrapped).
endings="$(tr '\n' ' ' <"$pgn" | grep -oE '\{[^{}]*\} +(1-0|0-1|1/2-1/2|\*) +(\[Event |$)' |
  sed -E 's/ +(\[Event )?$//; s/ +/ /g' || true)"
count() { grep -cE "$1" <<<"$endings" || true; }
echo "games: $(grep -c '^\[Result ' "$pgn" || true)"
grep -E '^\[(White|Black|Result) ' "$pgn" | sed 's/^\[[A-Za-z]* "\(.*\)"\]$/\1/' | paste - - - |
  awk -F'\t' '{
      w[$1] += 0; w[$2] += 0
      if ($3 == "1-0") { w[$1]++; l[$2]++ } else if ($3 == "0-1") { w[$2]++; l[$1]++ }
      else if ($3 == "1/2-1/2") { d[$1]++; d[$2]++ } else { u[$1]++; u[$2]++ }
    }
    END { for (p in w) printf "player %s: wins %d draws %d losses %d unfinished %d\n", p, w[p], d[p], l[p], u[p] }' | sort
[ -n "$endings" ] && sed 's/^{\(.*\)} \(.*\)$/ending \2 {\1}/' <<<"$endings" | sort | uniq -c | awk '{ n = $1; sub(/^ *[0-9]+ /, ""); print $0 ": " n }'
echo "false-claims: $(count 'False (draw|win|illegal-move) claim')"
echo "illegal-moves: $(count 'Forfeit due to (illegal|invalid) move|Illegal move')"
echo "refused-moves: $(grep -cE '^[0-9]+ <(first |second): Illegal move' "$log" || true)"
echo "time-losses: $(count 'on time|out of time|flag fell')"
echo "engine-errors: $(count 'exited unexpectedly|Error (writing to|reading from) .*chess program|program exits in draw position')"
echo "engine-exits: $(awk '$(NF-1) == "exit" && $NF != 0' "$out/exits.log" | wc -l)"
awk '/^[0-9]+ >(first |second): (xboard|new)$/ {
    who = ($0 ~ / >first/) ? "first" : "second"
    if ($NF == "xboard") start[who] = $1 + 0
    else if (who in start) { printf "startup-ms %s: %d\n", who, $1 - start[who]; delete start[who] }
  }' "$log"
# The share of the clock: "time" (centiseconds) is sent just before the
# engine is asked to move; the move's arrival ends its thinking.
awk '/^[0-9]+ >(first|second) *: time [0-9]+/ {
    who = ($2 ~ /first/) ? "first" : "second"; left[who] = $NF * 10; sent[who] = $1 + 0; next }
  /^[0-9]+ >(first|second) *: / { who = ($2 ~ /first/) ? "first" : "second"; sent[who] = $1 + 0; next }
  /^[0-9]+ <(first|second) *: move / {
    who = ($2 ~ /first/) ? "first" : "second"
    if (left[who] > 0) { share = ($1 - sent[who]) / left[who]; if (share > best[who]) best[who] = share }
    left[who] = 0 }
  END { for (w in best) printf "largest-clock-share %s: %.3f\n", w, best[w] }' "$log"
