#!/usr/bin/env python3
"""The ladder table from the match results of tools/ladder.sh.

    python3 tools/ladder_table.py DIR

Reads DIR/NAME.txt (fastchess's output; its last "Elo: X +/- Y" and
"Games: N" lines, from the first engine's side), prints the matches and
then the table of levels, and writes DIR/ladder.dat (label, Elo, interval)
for the plot. Full strength and 1200 are the weighted means (by inverse
variance) of their estimates; the other labels are carried down the chain.
"""
import math
import os
import re
import sys

out = sys.argv[1]
LABELS = [400, 600, 800, 1000, 1200, "full"]
# Full strength's label: UCI_Elo's highest value (ladder.sh reads it from the engine).
FULL = int(os.environ.get("FULL_ELO", "1510"))


def result(name):
    path = os.path.join(out, name + ".txt")
    if not os.path.exists(path):
        return None
    elo = games = None
    score = ""
    for line in open(path, errors="replace"):
        m = re.match(r"Elo: ([-\d.]+|inf|-inf) \+/- ([\d.]+|nan|inf)", line)
        if m:
            elo = (float(m.group(1)), float(m.group(2)))
        m = re.match(r"Games: (\d+), Wins: (\d+), Losses: (\d+), Draws: (\d+)", line)
        if m:
            games = int(m.group(1))
            score = "+%s -%s =%s" % (m.group(2), m.group(3), m.group(4))
    if elo is None or games is None or not math.isfinite(elo[0]) or not math.isfinite(elo[1]):
        return None
    return {"elo": elo[0], "err": elo[1], "games": games, "score": score}


def mean(estimates):
    estimates = [e for e in estimates if e is not None and e[1] > 0]
    if not estimates:
        return None
    w = sum(1 / e[1] ** 2 for e in estimates)
    return (sum(e[0] / e[1] ** 2 for e in estimates) / w, 1 / math.sqrt(w))


matches = sorted(f[:-4] for f in os.listdir(out) if f.endswith(".txt") and f != "ladder.txt")
print("| match | first engine's score | Elo difference (95 %) | games |")
print("|---|---|---|---|")
results = {}
for name in matches:
    r = result(name)
    if r is None:
        continue
    results[name] = r
    print("| %s | %s | %+.0f ± %.0f | %d |" % (name, r["score"], r["elo"], r["err"], r["games"]))
print()

rating = {}
games = {}
# Full strength from its anchors.
anchors = []
for e in (1350, 1400, 1500):
    r = results.get("full-sf%d" % e)
    if r:
        anchors.append((e + r["elo"], r["err"]))
        games["full"] = games.get("full", 0) + r["games"]
rating["full"] = mean(anchors)
# 1200 from its anchors and the link to full.
est = []
for e in (1350, 1400, 1500):
    r = results.get("1200-sf%d" % e)
    if r:
        est.append((e + r["elo"], r["err"]))
        games[1200] = games.get(1200, 0) + r["games"]
link = results.get("1200-full")
if link and rating["full"]:
    est.append((rating["full"][0] + link["elo"], math.hypot(rating["full"][1], link["err"])))
    games[1200] = games.get(1200, 0) + link["games"]
rating[1200] = mean(est)
# Down the chain.
for low, high in ((1000, 1200), (800, 1000), (600, 800), (400, 600)):
    r = results.get("%d-%d" % (low, high))
    if r and rating.get(high):
        rating[low] = (rating[high][0] + r["elo"], math.hypot(rating[high][1], r["err"]))
        games[low] = r["games"]

print("| label | measured Elo | 95 % interval | link's own interval | games |")
print("|---|---|---|---|---|")
with open(os.path.join(out, "ladder.dat"), "w") as dat:
    for label in LABELS:
        r = rating.get(label)
        if not r:
            continue
        own = ""
        if label == "full":
            own = "anchors"
        elif label == 1200:
            own = "anchors and link"
        else:
            own = "± %.0f" % results["%d-%d" % (label, label + 200)]["err"]
        print("| %s | %.0f | ± %.0f | %s | %d |" % (label, r[0], r[1], own, games.get(label, 0)))
        x = FULL if label == "full" else label
        dat.write("%d %.1f %.1f\n" % (x, r[0], r[1]))

checks = []
for name, low, high in (("400-800", 400, 800), ("800-1200", 800, 1200)):
    r = results.get(name)
    if r and rating.get(low) and rating.get(high):
        checks.append("| %s | %+.0f ± %.0f | %+.0f |" % (name, r["elo"], r["err"], rating[low][0] - rating[high][0]))
for name, low, high in (("600-800-slow", 600, 800), ("1000-1200-slow", 1000, 1200)):
    r = results.get(name)
    if r and rating.get(high):
        checks.append("| %s: %d at 20 s + 0.2 s | %.0f ± %.0f | %.0f at 5 s + 0.05 s |" % (
            name, low, rating[high][0] + r["elo"], r["err"], rating[low][0]))
if checks:
    print()
    print("| check | measured | from the chain |")
    print("|---|---|---|")
    print("\n".join(checks))

# Time per move of each level, from every game at 5 s + 0.05 s (the PGN
# comments "{score/depth TIMEs}" of fastchess).
times = {}
for name in results:
    if name.endswith("-slow"):
        continue
    path = os.path.join(out, name + ".pgn")
    if not os.path.exists(path):
        continue
    for game in re.split(r"\n(?=\[Event )", open(path, errors="replace").read()):
        white = re.search(r'\[White "(.*)"\]', game)
        black = re.search(r'\[Black "(.*)"\]', game)
        if not white or not black:
            continue
        movetext = " ".join(l for l in game.splitlines() if not l.startswith("["))
        # The comments alternate between the sides, from the side that moves
        # first ("1..." when it is Black).
        sides = [white.group(1), black.group(1)]
        if re.match(r"\s*\d+\.\.\.", movetext):
            sides.reverse()
        for i, t in enumerate(re.findall(r"\{[^}]*?([\d.]+)s\}", movetext)):
            times.setdefault(sides[i % 2], []).append(float(t))
if times:
    print()
    print("| engine | moves | median time per move | mean | longest |")
    print("|---|---|---|---|---|")
    def key(n):
        m = re.match(r"L(\d+)$", n)
        return (0, int(m.group(1))) if m else (1 if n == "full" else 2, n)
    for who in sorted(times, key=key):
        t = sorted(times[who])
        print("| %s | %d | %.3f s | %.3f s | %.2f s |" % (who, len(t), t[len(t) // 2], sum(t) / len(t), t[-1]))

