// Position keys, repetition counts, book codes of moves and elapsed time.
#include <limits>

#include "declare/model.h"

namespace ormedan {

PositionKeyText PositionKey(const Position& p, Colour toMove) {
  PositionKeyText key;
  int n = 0;
  for (int f = 1; f <= 8; ++f) {
    for (int r = 1; r <= 8; ++r) {
      const int id = p.board[f][r];
      if (id >= 100) key.text[n++] = static_cast<char>('0' + id / 100);
      if (id >= 10) key.text[n++] = static_cast<char>('0' + id / 10 % 10);
      key.text[n++] = static_cast<char>('0' + id % 10);
    }
  }
  key.text[n++] = toMove == White ? 'w' : 'b';
  for (const uint8_t right : {p.whiteShortCastleRight, p.whiteLongCastleRight, p.blackShortCastleRight,
                              p.blackLongCastleRight})
    key.text[n++] = right != 0 ? '1' : '0';
  key.length = static_cast<uint8_t>(n);
  return key;
}

// Every stored key is compared: no early exit.
bool KeySeenTwice(const Engine& e, const PositionKeyText& key) { return e.PositionHistory.Occurrences(key) >= 2; }

bool KeySeenThrice(const Engine& e, const PositionKeyText& key) { return e.PositionHistory.Occurrences(key) >= 3; }

std::array<char, 3> BookMoveText(int32_t move) {
  return {static_cast<char>(64 + MovePiece(move)), static_cast<char>('0' + MoveToFile(move)),
          static_cast<char>('0' + MoveToRank(move))};
}

namespace {

// Time since clockStart in the given unit of microseconds, truncated toward
// zero and held within 32 bits.
int32_t ElapsedIn(Engine& e, int64_t unit) {
  const int64_t t = (e.clock.NowMicroseconds() - e.driver.clockStart) / unit;
  if (t > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (t < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(t);
}

}  // namespace

int32_t ElapsedCentiseconds(Engine& e) { return ElapsedIn(e, 10000); }

int32_t ElapsedMilliseconds(Engine& e) { return ElapsedIn(e, 1000); }

}  // namespace ormedan
