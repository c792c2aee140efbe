// Has Stockfish judge every move the levels played in the ladder's games
// (tools/ladder.sh) and prints, per label, the moves judged, the average
// centipawn loss, the share of moves that lose 300 cp or more, and that
// same share in level positions (the mover within 300 cp) and in positions
// where the mover is already 300 to 1000 cp behind.
//
//   node tools/mistakes.mjs [--depth D] [--games N] [--jobs J] [--only NAMES]
//                           [--judge root|pair] [DIR]
//   node tools/mistakes.mjs --add COUNTS.json...   (the tables of several runs)
//
// DIR is the ladder's results folder (default build/ladder); every NAME.pgn
// there is read (or only the matches NAMES, comma-separated), at most N
// games of each (default all). Stockfish, at full strength, searches to
// depth D (default 10); J copies run at once (default 2). A value is
// clamped to +-2000 cp (a mate counts as 2000).
//
// How a move's loss is found (never below 0; for the average both values
// are first held within +-1000, as centipawn-loss figures usually are):
//   root  (default) the value of the best move less the value of the move
//         played, both from one search of the position before the move, to
//         the same depth (the played move alone, with searchmoves, unless it
//         is the best). A move Stockfish itself would play loses nothing.
//   pair  the mover's value before the move less its value after it, two
//         separate searches. Cheaper, but it charges the move with whatever
//         the second search finds that the first did not: in a lost
//         position the value keeps falling as the winner's plan comes into
//         view, and the best move can "lose" 300 cp.
// Positions more than 1000 cp behind are left out of the "behind" share,
// where a clamped value could hide a loss. Writes DIR/mistakes.md, the
// table, DIR/mistakes-counts.json, its raw counts, and
// DIR/mistakes-list.tsv, every move that lost 300 cp or more.
// Needs the npm packages of tests/clients (npm ci --prefix tests/clients)
// and the Debian package stockfish.
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';
import process from 'node:process';

const require = createRequire(new URL('../tests/clients/package.json', import.meta.url));
const { Engine } = require('node-uci');
const { Chess } = require('chess.js');

const args = process.argv.slice(2);
let depth = 10;
let maxGames = Infinity;
let jobs = 2;
let dir = 'build/ladder';
let only = null;
let method = 'root';
let add = null;
for (let i = 0; i < args.length; i++) {
  if (args[i] === '--depth') depth = Number(args[++i]);
  else if (args[i] === '--games') maxGames = Number(args[++i]);
  else if (args[i] === '--jobs') jobs = Number(args[++i]);
  else if (args[i] === '--only') only = new Set(String(args[++i]).split(','));
  else if (args[i] === '--judge') method = String(args[++i]);
  else if (args[i] === '--add') {
    add = args.slice(i + 1);
    break;
  }
  else dir = args[i];
}
if (method !== 'root' && method !== 'pair') {
  console.error(`mistakes: --judge is root or pair, not ${method}`);
  process.exit(2);
}
const stockfish = fs.existsSync('/usr/games/stockfish') ? '/usr/games/stockfish' : 'stockfish';
const CLAMP = 2000;

// "L600" -> "600", "full" -> "full"; Stockfish's games are not judged.
function labelOf(name) {
  if (name === 'full') return 'full';
  const m = /^L(\d+)$/.exec(name || '');
  return m ? m[1] : null;
}

// The games of a PGN file: its tags and the positions and moves of each.
function gamesOf(file) {
  const text = fs.readFileSync(file, 'utf8');
  const chunks = text.split(/\n\s*\n(?=\[Event )/);
  const games = [];
  for (const chunk of chunks) {
    if (!chunk.trim()) continue;
    const board = new Chess();
    try {
      board.loadPgn(chunk);
    } catch {
      continue;
    }
    const headers = board.getHeaders();
    const history = board.history({ verbose: true });
    if (history.length === 0) continue;
    games.push({
      white: labelOf(headers.White),
      black: labelOf(headers.Black),
      whiteName: labelOf(headers.White) ?? headers.White,
      blackName: labelOf(headers.Black) ?? headers.Black,
      history,
    });
  }
  return games;
}

// The side to move's value of a FEN, clamped, and the move Stockfish
// would play; with a move given, the value of that move alone.
async function judge(engine, fen, move) {
  await engine.position(fen);
  // Written out by hand: Stockfish reads every word after "searchmoves" as
  // a move, so the depth has to come first.
  engine.write(move ? `go depth ${depth} searchmoves ${move}` : `go depth ${depth}`);
  const lines = await engine.getBufferUntil((line) => /^bestmove /.test(line));
  let score = null;
  let best = null;
  for (const line of lines) {
    const s = /\bscore (cp|mate) (-?\d+)/.exec(line);
    if (s && !/\b(lowerbound|upperbound)\b/.test(line)) score = { unit: s[1], value: Number(s[2]) };
    const b = /^bestmove (\S+)/.exec(line);
    if (b) best = b[1];
  }
  let value = 0;
  if (score && score.unit === 'mate') value = score.value > 0 ? CLAMP : -CLAMP;
  else if (score) value = Math.max(-CLAMP, Math.min(CLAMP, score.value));
  return { value, best };
}

// The tables, per label and per label and opponent, from the counts.
function tables(stats, heading) {
  const rank = (label) => (label === 'full' ? 1e9 : Number(label));
  const order = [...stats.keys()].filter((k) => !k.includes('\t')).sort((a, b) => rank(a) - rank(b));
  const pairs = [...stats.keys()]
    .filter((k) => k.includes('\t'))
    .sort((a, b) => {
      const [la, oa] = a.split('\t');
      const [lb, ob] = b.split('\t');
      return rank(la) - rank(lb) || rank(oa) - rank(ob) || a.localeCompare(b);
    });
  const pct = (a, b) => (b > 0 ? ((100 * a) / b).toFixed(1) + ' %' : '-');
  const row = (s) =>
    `${s.n} | ${(s.sum / s.n).toFixed(0)} | ${pct(s.big, s.n)} | ${pct(s.levelBig, s.levelN)} (${s.levelN}) | ` +
    `${pct(s.behindBig, s.behindN)} (${s.behindN}) |`;
  const columns = 'moves judged | average loss (cp) | loses 300 cp or more | the same, in level positions (moves) | the same, 300 to 1000 cp behind (moves) |';
  const lines = [heading, '', `| label | ${columns}`, '|---|---|---|---|---|---|'];
  for (const label of order) lines.push(`| ${label} | ${row(stats.get(label))}`);
  lines.push('', `| label | against | ${columns}`, '|---|---|---|---|---|---|---|');
  for (const key of pairs) {
    const [label, opponent] = key.split('\t');
    lines.push(`| ${label} | ${opponent} | ${row(stats.get(key))}`);
  }
  return lines.join('\n');
}

// --add: the tables of several runs, from their mistakes-counts.json.
function addUp(files) {
  const stats = new Map();
  for (const file of files) {
    for (const [key, counts] of Object.entries(JSON.parse(fs.readFileSync(file, 'utf8')))) {
      if (!stats.has(key)) stats.set(key, Object.fromEntries(Object.keys(counts).map((k) => [k, 0])));
      const s = stats.get(key);
      for (const [k, v] of Object.entries(counts)) s[k] += v;
    }
  }
  console.log(tables(stats, `The counts of ${files.join(', ')}, added up`));
}

async function main() {
  if (add) return addUp(add);
  const files = fs
    .readdirSync(dir)
    .filter((f) => f.endsWith('.pgn') && (!only || only.has(f.slice(0, -4))))
    .sort();
  // Every position to judge, once each, with the moves played from it.
  const moves = [];
  const fens = new Map();
  const want = (fen) => {
    if (!fens.has(fen)) fens.set(fen, { played: new Set(), value: 0, best: null, values: new Map() });
    return fens.get(fen);
  };
  for (const f of files) {
    const games = gamesOf(path.join(dir, f)).slice(0, maxGames);
    for (const g of games) {
      for (const m of g.history) {
        const label = m.color === 'w' ? g.white : g.black;
        if (label === null) continue;
        const opponent = m.color === 'w' ? g.blackName : g.whiteName;
        const uci = m.from + m.to + (m.promotion || '');
        moves.push({ label, opponent, before: m.before, after: m.after, uci });
        want(m.before).played.add(uci);
        if (method === 'pair') want(m.after);
      }
    }
  }
  const todo = [...fens.keys()];
  let next = 0;
  const started = Date.now();
  async function worker() {
    const engine = new Engine(stockfish);
    await engine.init();
    await engine.setoption('Threads', '1');
    await engine.setoption('Hash', '16');
    await engine.isready();
    while (next < todo.length) {
      const fen = todo[next++];
      const entry = fens.get(fen);
      const { value, best } = await judge(engine, fen);
      entry.value = value;
      entry.best = best;
      if (method === 'root') {
        for (const uci of entry.played) {
          entry.values.set(uci, uci === best ? value : (await judge(engine, fen, uci)).value);
        }
      }
      if (next % 5000 === 0) console.error(`mistakes: ${next} of ${todo.length} positions`);
    }
    await engine.quit();
  }
  await Promise.all(Array.from({ length: jobs }, worker));

  const stats = new Map();
  const listed = [];
  for (const m of moves) {
    const entry = fens.get(m.before);
    const before = entry.value;
    const after = method === 'root' ? entry.values.get(m.uci) : -fens.get(m.after).value;
    const loss = Math.max(0, before - after);
    // The average takes values within +-1000, as centipawn-loss figures do.
    const cap = (v) => Math.max(-1000, Math.min(1000, v));
    const averaged = Math.max(0, cap(before) - cap(after));
    const behind = before <= -300 && before > -1000;
    const level = before > -300 && before < 300;
    if (loss >= 300) {
      const where = behind ? 'behind' : level ? 'level' : 'other';
      listed.push([m.label, m.opponent, where, before, after, m.uci, entry.best, m.before].join('\t'));
    }
    // Per label, and per label and opponent: a level is behind most often
    // against a stronger opponent, who also sets it more problems.
    for (const key of [m.label, `${m.label}\t${m.opponent}`]) {
      if (!stats.has(key)) stats.set(key, { n: 0, sum: 0, big: 0, levelN: 0, levelBig: 0, behindN: 0, behindBig: 0 });
      const s = stats.get(key);
      s.n++;
      s.sum += averaged;
      if (loss >= 300) s.big++;
      if (behind) {
        s.behindN++;
        if (loss >= 300) s.behindBig++;
      } else if (level) {
        s.levelN++;
        if (loss >= 300) s.levelBig++;
      }
    }
  }
  const table = tables(
    stats,
    `Stockfish ${depth} plies, judged by ${method}, ${moves.length} moves from ${todo.length} positions, ` +
      `${((Date.now() - started) / 1000).toFixed(0)} s`,
  );
  console.log(table);
  fs.writeFileSync(path.join(dir, 'mistakes.md'), table + '\n');
  // The raw counts, per label and per label and opponent, so that the
  // tables of separate runs can be added up.
  fs.writeFileSync(path.join(dir, 'mistakes-counts.json'), JSON.stringify(Object.fromEntries(stats), null, 1) + '\n');
  // Every move that lost 300 cp or more, to look at.
  fs.writeFileSync(
    path.join(dir, 'mistakes-list.tsv'),
    ['label\tagainst\twhere\tbefore\tafter\tplayed\tbest\tfen', ...listed].join('\n') + '\n',
  );
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
