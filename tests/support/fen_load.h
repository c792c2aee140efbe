// Positions from FEN for tests, and the colour-mirrored FEN of a position.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

#include "declare/model.h"
#include "utilita/fen.h"

namespace ormedan::testing {

// Loads a FEN that must be valid; a refusal fails the calling test.
inline Position LoadFen(std::string_view fen, Colour* toMove = nullptr) {
  Position p{};
  Colour side = White;
  std::string error;
  EXPECT_TRUE(PositionFromFen(fen, p, side, error)) << fen << ": " << error;
  if (toMove != nullptr) *toMove = side;
  return p;
}

// The same position with the colours exchanged and the board turned upside
// down: ranks reversed, letters' case swapped, the other side to move.
inline std::string MirrorFen(std::string_view fen) {
  std::string fields[6];
  int n = 0;
  for (char c : fen) {
    if (c == ' ') {
      if (n < 5) ++n;
      continue;
    }
    fields[n] += c;
  }
  std::string ranks[8];
  int r = 0;
  for (char c : fields[0]) {
    if (c == '/') {
      ++r;
      continue;
    }
    if (r < 8) ranks[r] += static_cast<char>(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c));
  }
  std::string out;
  for (int i = 7; i >= 0; --i) {
    out += ranks[i];
    if (i > 0) out += '/';
  }
  out += fields[1] == "b" ? " w " : " b ";
  // Castling rights swap colour and keep the usual KQkq order.
  std::string castling;
  for (const char* pair : {"kK", "qQ", "Kk", "Qq"})
    if (fields[2].find(pair[0]) != std::string::npos) castling += pair[1];
  out += castling.empty() ? "-" : castling;
  std::string ep = fields[3].empty() ? "-" : fields[3];
  if (ep.size() == 2) ep[1] = static_cast<char>('1' + ('8' - ep[1]));
  out += ' ';
  out += ep;
  out += ' ';
  out += fields[4].empty() ? "0" : fields[4];
  out += ' ';
  out += fields[5].empty() ? "1" : fields[5];
  return out;
}

}  // namespace ormedan::testing
