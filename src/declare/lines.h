// Line geometry of the board: squares that share a file, rank or diagonal,
// and the distance along a file or rank. Whether the squares between two
// squares are empty is the attack tests' (utilita/attacks.h).
#pragma once

namespace ormedan {

constexpr int Distance(int a, int b) { return a > b ? a - b : b - a; }

constexpr bool OnFileOrRank(int f, int r, int kf, int kr) { return f == kf || r == kr; }

constexpr bool OnDiagonal(int f, int r, int kf, int kr) {
  const int df = f - kf, dr = r - kr;
  return df == dr || df == -dr;
}

}  // namespace ormedan
