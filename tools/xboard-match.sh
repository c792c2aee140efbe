#!/usr/bin/env bash
# Plays a match of ORMEDAN against Fairy-Max under a real xboard, headless,
# and sums up how the games ended. A manual check of the engine in the GUI it
# was written for; not part of the test suite.
#
#   tools/xboard-match.sh [GAMES] [TIME_PER_40_MOVES] [OUT_DIR]
#
# TIME_PER_40_MOVES is minutes or minutes:seconds (as xboard -tc takes it).
# Defaults: 4 games (ORMEDAN has white in the odd games, black in the even
# ones), 1 minute per 40 moves, results in build/xboard-match/ (games.pgn and
# xboard's debug log). Needs the Debian packages xboard, fairymax, xvfb and
# xauth. xboard waits about 10 s at each engine start for a feature reply
# that this engine does not send, then carries on.
set -euo pipefail
cd "$(dirname "$0")/.."
games="${1:-4}"
minutes="${2:-1}"
out="${3:-build/xboard-match}"
export PATH="$PATH:/usr/games"
for tool in xboard fairymax xvfb-run; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install xboard fairymax xvfb xauth)" >&2; exit 2; }
done
if [ ! -x build/bin/ormedan ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 --target ormedan >&2
fi
mkdir -p "$out"
rm -f "$out/games.pgn" "$out/xboard.debug"
# -autoCallFlag: a silent or slow engine loses on time instead of hanging the
# match; -xexit: xboard ends after the last game.
xvfb-run -a xboard -noGUI -xexit -autoCallFlag true -xponder -mg "$games" -mps 40 -tc "$minutes" \
  -sgf "$out/games.pgn" -debug -nameOfDebugFile "$out/xboard.debug" \
  -fcp "$PWD/build/bin/ormedan" -fd "$PWD/books" -scp fairymax >/dev/null 2>&1 || true

echo "games: $(grep -c '^\[Result ' "$out/games.pgn" 2>/dev/null || echo 0)"
grep -E '^\[(White|Black|Result) ' "$out/games.pgn" | paste - - - | sed 's/\[White "\([^"]*\)"\]\t\[Black "\([^"]*\)"\]\t\[Result "\([^"]*\)"\]/\1 - \2: \3/'
echo "how they ended:"
grep -oE '\{[^}]*\} (1-0|0-1|1/2-1/2|\*)' "$out/games.pgn" | sort | uniq -c
