// A real UCI client drives the built engine: node-uci plays a whole game from
// the initial position and one from a FEN, chess.js checks every bestmove,
// "isready" must be answered during "go infinite" and "stop" within 100 ms;
// then a MultiPV analysis, a node-limited search and a pondering game with
// hits and misses.
//
//   node tests/clients/uci_client.mjs ENGINE BOOKS_DIR [STOP_TRIES]
//
// The engine is started without options, as node-uci starts engines: its
// first line "uci" switches it to UCI. Prints one "name: ok" line per check,
// the stop latencies (median and worst) and "N passed, N failed".
import { spawn } from 'node:child_process';
import process from 'node:process';
import nodeUci from 'node-uci';
import { Chess } from 'chess.js';

const [enginePath, booksDir, triesText] = process.argv.slice(2);
const BESTMOVE = /^bestmove [a-h][1-8][a-h][1-8][nbrq]?( ponder [a-h][1-8][a-h][1-8][nbrq]?)?$/;
const uciOf = (m) => m.from + m.to + (m.promotion || '');
const stopTries = Number(triesText || 100);
let passed = 0;
let failed = 0;

function check(name, ok, detail = '') {
  if (ok) passed++;
  else failed++;
  console.log(`${name}: ${ok ? 'ok' : 'FAILED'}${detail ? ' (' + detail + ')' : ''}`);
}

// One game, the engine playing both sides at a fixed time per move; every
// bestmove must be one of chess.js's legal moves.
async function playGame(engine, name, fen, maxPlies) {
  const board = fen === 'startpos' ? new Chess() : new Chess(fen);
  const moves = [];
  let illegal = '';
  while (!board.isGameOver() && moves.length < maxPlies) {
    await engine.position(fen, moves);
    const { bestmove } = await engine.go({ movetime: 40 });
    const legal = board.moves({ verbose: true }).map((m) => m.from + m.to + (m.promotion || ''));
    if (!legal.includes(bestmove)) {
      illegal = `${bestmove} after ${moves.join(' ') || 'no move'}`;
      break;
    }
    board.move({ from: bestmove.slice(0, 2), to: bestmove.slice(2, 4), promotion: bestmove[4] });
    moves.push(bestmove);
  }
  const ending = board.isCheckmate() ? 'checkmate' : board.isDraw() ? 'draw' : board.isGameOver() ? 'over' : 'ply limit';
  check(name, illegal === '' && moves.length > 0, illegal || `${moves.length} plies, ${ending}`);
}

// Raw lines, for timing: the engine started on its own pipe.
function rawEngine() {
  const proc = spawn(enginePath, ['--uci'], { cwd: booksDir });
  let buffer = '';
  const waiters = [];
  proc.stdout.setEncoding('utf8');
  proc.stdout.on('data', (chunk) => {
    buffer += chunk;
    let n;
    while ((n = buffer.indexOf('\n')) >= 0) {
      const line = buffer.slice(0, n);
      buffer = buffer.slice(n + 1);
      for (const w of waiters.splice(0)) if (!w(line)) waiters.push(w);
    }
  });
  const until = (test, ms) =>
    new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error('timeout')), ms);
      waiters.push((line) => {
        if (!test(line)) return false;
        clearTimeout(timer);
        resolve(line);
        return true;
      });
    });
  return { send: (l) => proc.stdin.write(l + '\n'), until, proc };
}

// A raw engine past its handshake, with the options given set.
async function startUci(options = []) {
  const raw = rawEngine();
  raw.send('uci');
  await raw.until((l) => l === 'uciok', 10000);
  for (const [name, value] of options) raw.send(`setoption name ${name} value ${value}`);
  return raw;
}

async function quit(raw) {
  raw.send('quit');
  await new Promise((resolve) => raw.proc.on('close', resolve));
}

async function main() {
  process.chdir(booksDir);
  const engine = new nodeUci.Engine(enginePath);
  await engine.init();
  check('uci handshake', engine.id.name === 'ORMEDAN 1.0' && engine.id.author === 'the ORMEDAN team');
  await engine.isready();
  await engine.ucinewgame();
  await playGame(engine, 'game from startpos', 'startpos', 300);
  await engine.ucinewgame();
  await playGame(engine, 'game from a FEN', 'r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3', 300);
  await engine.quit();

  const raw = rawEngine();
  raw.send('uci');
  await raw.until((l) => l === 'uciok', 10000);
  raw.send('position startpos moves e2e4 e7e5');
  raw.send('go infinite');
  await raw.until((l) => l.startsWith('info depth 3 '), 20000);
  const askedAt = process.hrtime.bigint();
  raw.send('isready');
  await raw.until((l) => l === 'readyok', 5000);
  const readyMs = Number(process.hrtime.bigint() - askedAt) / 1e6;
  check('isready during go infinite', readyMs < 100, `${readyMs.toFixed(1)} ms`);

  const latencies = [];
  let bad = 0;
  for (let i = 0; i < stopTries; i++) {
    if (i > 0) {
      raw.send('position startpos moves d2d4 d7d5 c2c4');
      raw.send('go infinite');
      await raw.until((l) => l.startsWith('info depth 2 '), 20000);
    }
    const start = process.hrtime.bigint();
    raw.send('stop');
    const line = await raw.until((l) => l.startsWith('bestmove '), 5000);
    latencies.push(Number(process.hrtime.bigint() - start) / 1e6);
    if (!BESTMOVE.test(line)) bad++;
  }
  latencies.sort((a, b) => a - b);
  const median = latencies[Math.floor(latencies.length / 2)];
  const worst = latencies[latencies.length - 1];
  console.log(`stop latency over ${latencies.length} tries: median ${median.toFixed(1)} ms, worst ${worst.toFixed(1)} ms`);
  check('stop answered within 100 ms', worst < 100 && bad === 0, `${bad} malformed bestmove lines`);
  raw.send('quit');
  await new Promise((resolve) => raw.proc.on('close', resolve));

  await multiPv();
  await nodeLimit();
  await ponderGame();
}

// MultiPV 3: three info lines at the last depth, three distinct legal
// first moves, scores best first.
async function multiPv() {
  const raw = await startUci([['OwnBook', false], ['MultiPV', 3]]);
  const fen = 'r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4';
  raw.send(`position fen ${fen}`);
  const lines = [];
  raw.until((l) => (l.startsWith('info depth 4 ') ? (lines.push(l), false) : false), 60000).catch(() => {});
  raw.send('go depth 4');
  await raw.until((l) => l.startsWith('bestmove '), 60000);
  const legal = new Chess(fen).moves({ verbose: true }).map(uciOf);
  const firsts = lines.map((l) => l.split(' pv ')[1].split(' ')[0]);
  const scores = lines.map((l) => Number(l.split(' score cp ')[1]?.split(' ')[0]));
  const numbered = lines.every((l, i) => l.includes(` multipv ${i + 1} `));
  const ordered = scores.every((v, i) => i === 0 || v <= scores[i - 1]);
  check(
    'MultiPV 3 analysis',
    lines.length === 3 && numbered && ordered && new Set(firsts).size === 3 && firsts.every((m) => legal.includes(m)),
    `${firsts.join(', ')} scoring ${scores.join(', ')}`,
  );
  await quit(raw);
}

// go nodes N: the nodes reported within a tenth of N.
async function nodeLimit() {
  const raw = await startUci([['OwnBook', false]]);
  const results = [];
  for (const limit of [20000, 200000]) {
    raw.send('position startpos moves e2e4 e7e5 g1f3');
    let nodes = -1;
    raw.until((l) => (l.startsWith('info depth') ? ((nodes = Number(l.split(' nodes ')[1].split(' ')[0])), false) : false), 60000).catch(() => {});
    raw.send(`go nodes ${limit}`);
    await raw.until((l) => l.startsWith('bestmove '), 60000);
    results.push({ limit, nodes });
  }
  check(
    'go nodes within 10 %',
    results.every((r) => Math.abs(r.nodes - r.limit) <= r.limit / 10),
    results.map((r) => `${r.nodes} for ${r.limit}`).join(', '),
  );
  await quit(raw);
}

// A game in which the engine ponders after each of its moves: the odd
// moves the opponent plays the expected reply (ponderhit), the even ones
// another move (a miss: stop, then a search of the real position).
async function ponderGame() {
  const raw = await startUci([['Ponder', true], ['OwnBook', false]]);
  raw.send('ucinewgame');
  const board = new Chess();
  const moves = [];
  const stopMs = [];
  let hits = 0;
  let problem = '';
  const clock = 'wtime 3000 btime 3000 winc 30 binc 30';
  raw.send('position startpos');
  raw.send(`go ${clock}`);
  let line = await raw.until((l) => l.startsWith('bestmove '), 20000);
  for (let turn = 0; turn < 16 && !board.isGameOver(); turn++) {
    const [, best, , ponder] = line.split(' ');
    if (!board.moves({ verbose: true }).map(uciOf).includes(best)) {
      problem = `illegal ${best}`;
      break;
    }
    board.move({ from: best.slice(0, 2), to: best.slice(2, 4), promotion: best[4] });
    moves.push(best);
    if (board.isGameOver()) break;
    const replies = board.moves({ verbose: true }).map(uciOf);
    if (!ponder || !replies.includes(ponder)) {
      problem = `no legal ponder move in "${line}"`;
      break;
    }
    raw.send(`position startpos moves ${[...moves, ponder].join(' ')}`);
    raw.send(`go ponder ${clock}`);
    await new Promise((resolve) => setTimeout(resolve, 150));
    if (turn % 2 === 0) {
      raw.send('ponderhit');
      line = await raw.until((l) => l.startsWith('bestmove '), 20000);
      hits++;
      board.move({ from: ponder.slice(0, 2), to: ponder.slice(2, 4), promotion: ponder[4] });
      moves.push(ponder);
    } else {
      const start = process.hrtime.bigint();
      raw.send('stop');
      await raw.until((l) => l.startsWith('bestmove '), 5000);
      stopMs.push(Number(process.hrtime.bigint() - start) / 1e6);
      const other = replies.find((m) => m !== ponder) || ponder;
      board.move({ from: other.slice(0, 2), to: other.slice(2, 4), promotion: other[4] });
      moves.push(other);
      raw.send(`position startpos moves ${moves.join(' ')}`);
      raw.send(`go ${clock}`);
      line = await raw.until((l) => l.startsWith('bestmove '), 20000);
    }
    if (!BESTMOVE.test(line)) {
      problem = `malformed "${line}"`;
      break;
    }
  }
  stopMs.sort((a, b) => a - b);
  const worst = stopMs.length ? stopMs[stopMs.length - 1] : 0;
  const median = stopMs.length ? stopMs[Math.floor(stopMs.length / 2)] : 0;
  console.log(`stop after a ponder miss over ${stopMs.length} tries: median ${median.toFixed(1)} ms, worst ${worst.toFixed(1)} ms`);
  check('pondering game', problem === '' && hits > 0 && stopMs.length > 0 && worst < 100,
    problem || `${moves.length} plies, ${hits} ponderhits, ${stopMs.length} misses`);
  await quit(raw);
}

main()
  .catch((err) => {
    failed++;
    console.log(`client: FAILED (${err.message})`);
  })
  .finally(() => {
    console.log(`${passed} passed, ${failed} failed`);
    process.exit(failed === 0 ? 0 : 1);
  });
