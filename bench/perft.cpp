// Perft speed: leaves per second of the generator's own tree walk.
#include <benchmark/benchmark.h>

#include <memory>

#include "declare/model.h"
#include "declare/quiet_io.h"
#include "generation/perft.h"
#include "utilita/fen.h"

namespace {

using namespace ormedan;

void RunPerft(benchmark::State& state, const char* fen) {
  NoInput in;
  NoOutput out;
  StillClock clock;
  FirstRandom rng;
  auto engine = std::make_unique<Engine>(in, out, clock, rng);
  Position root{};
  Colour side = White;
  std::string error;
  if (!PositionFromFen(fen, root, side, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const int depth = static_cast<int>(state.range(0));
  uint64_t leaves = 0;
  for (auto _ : state) {
    const uint64_t n = PerftCount(*engine, root, side, depth);
    benchmark::DoNotOptimize(n);
    leaves += n;
  }
  state.counters["leaves/s"] = benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsRate);
}

void BM_PerftInitial(benchmark::State& state) {
  RunPerft(state, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
}
void BM_PerftKiwipete(benchmark::State& state) {
  RunPerft(state, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
}

BENCHMARK(BM_PerftInitial)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerftKiwipete)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
