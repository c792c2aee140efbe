// Fuzz target: the bytes are a FEN for the tools' loader. A FEN is refused
// with a message, or it loads a record that passes the consistency check,
// holds the pieces the text places, has the right check flag, and whose
// perft 2 by the engine's generator equals the count of the plain board.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "declare/model.h"
#include "declare/quiet_io.h"
#include "fuzz/reference_board.h"
#include "generation/perft.h"
#include "utilita/fen.h"

namespace {

using namespace ormedan;
using fuzz::RefBoard;

[[noreturn]] void Fault(std::string_view fen, const std::string& what) {
  std::fprintf(stderr, "fuzz fault: %s\nFEN: %.*s\n", what.c_str(), static_cast<int>(fen.size()), fen.data());
  std::abort();
}

// The squares the placement field names, read here on its own: the field
// runs from the first non-blank byte to the next blank.
bool PlacementSquares(std::string_view fen, int8_t (&sq)[8][8]) {
  size_t i = 0;
  while (i < fen.size() && (fen[i] == ' ' || fen[i] == '\t' || fen[i] == '\n' || fen[i] == '\r')) ++i;
  int file = 0, rank = 7;
  for (; i < fen.size() && fen[i] != ' ' && fen[i] != '\t' && fen[i] != '\n' && fen[i] != '\r'; ++i) {
    const char c = fen[i];
    if (c == '/') {
      --rank;
      file = 0;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      const char lower = static_cast<char>(c | 0x20);
      const char* kinds = " pnbrqk";
      int kind = 0;
      for (int k = 1; k <= 6; ++k)
        if (kinds[k] == lower) kind = k;
      if (kind == 0 || file > 7 || rank < 0) return false;
      sq[file][rank] = static_cast<int8_t>(c >= 'a' ? -kind : kind);
      ++file;
    }
  }
  return true;
}

Engine& SharedEngine() {
  static NoInput in;
  static NoOutput out;
  static StillClock clock;
  static FirstRandom rng;
  static std::unique_ptr<Engine> engine = std::make_unique<Engine>(in, out, clock, rng);
  return *engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view fen(reinterpret_cast<const char*>(data), size);
  Position p{};
  Colour toMove = White;
  std::string error;
  if (!PositionFromFen(fen, p, toMove, error)) {
    if (error.empty()) Fault(fen, "refused without a message");
    return 0;
  }

  std::string why;
  if (!CheckPosition(p, &why)) Fault(fen, "loaded an inconsistent record: " + why);

  const RefBoard board = RefBoard::From(p, toMove);
  int8_t placed[8][8] = {};
  if (!PlacementSquares(fen, placed)) Fault(fen, "accepted a placement field this target cannot read");
  RefBoard text = board;
  for (int f = 0; f < 8; ++f)
    for (int r = 0; r < 8; ++r) text.sq[f][r] = placed[f][r];
  if (!board.SameSquares(text)) Fault(fen, "the record's board differs from the FEN's placement");

  if (board.InCheck(-board.side)) Fault(fen, "accepted a position whose side not to move is in check");
  if ((p.checkingPiece != 0) != board.InCheck(board.side)) Fault(fen, "checkingPiece disagrees with the board");

  Engine& e = SharedEngine();
  const uint64_t engineCount = PerftCount(e, p, toMove, 2);
  const uint64_t referenceCount = board.Perft(2);
  if (engineCount != referenceCount) {
    static int32_t moves[MaxChildren];
    static uint64_t counts[MaxChildren];
    const int n = PerftDivide(e, p, toMove, 2, moves, counts);
    for (int i = 0; i < n; ++i)
      std::fprintf(stderr, "engine %s: %llu\n", MoveCoordinates(p, moves[i]).c_str(),
                   static_cast<unsigned long long>(counts[i]));
    for (const fuzz::RefMove& m : board.LegalMoves()) {
      RefBoard next = board;
      next.Make(m);
      std::fprintf(stderr, "reference %s: %llu\n", RefBoard::Text(m).c_str(),
                   static_cast<unsigned long long>(next.Perft(1)));
    }
    Fault(fen, "perft 2 is " + std::to_string(engineCount) + ", the plain board counts " +
                   std::to_string(referenceCount));
  }
  return 0;
}
