#include "support/fen_writer.h"

#include <cstdlib>

namespace ormedan::testing {

namespace {

char PieceLetter(int value) {
  char c = '?';
  switch (std::abs(value)) {
    case KingValue: c = 'k'; break;
    case QueenValue: c = 'q'; break;
    case RookValue: c = 'r'; break;
    case BishopValue: c = 'b'; break;
    case KnightValue: c = 'n'; break;
    case PawnValue: c = 'p'; break;
  }
  return value > 0 ? static_cast<char>(c - 'a' + 'A') : c;
}

bool At(const Position& p, int file, int rank, int id) { return p.board[file][rank] == id; }

}  // namespace

std::string PositionToFen(const Position& p, Colour toMove) {
  std::string fen;
  for (int rank = 8; rank >= 1; --rank) {
    int empty = 0;
    for (int file = 1; file <= 8; ++file) {
      const int id = p.board[file][rank];
      if (id == 0) {
        ++empty;
        continue;
      }
      if (empty > 0) fen += static_cast<char>('0' + empty);
      empty = 0;
      fen += PieceLetter(p.pieceValue[id]);
    }
    if (empty > 0) fen += static_cast<char>('0' + empty);
    if (rank > 1) fen += '/';
  }
  fen += toMove == White ? " w " : " b ";
  std::string castling;
  if (p.whiteShortCastleRight && At(p, 5, 1, 1) && At(p, 8, 1, 4)) castling += 'K';
  if (p.whiteLongCastleRight && At(p, 5, 1, 1) && At(p, 1, 1, 3)) castling += 'Q';
  if (p.blackShortCastleRight && At(p, 5, 8, 17) && At(p, 8, 8, 20)) castling += 'k';
  if (p.blackLongCastleRight && At(p, 5, 8, 17) && At(p, 1, 8, 19)) castling += 'q';
  fen += castling.empty() ? "-" : castling;
  fen += ' ';
  if (p.enPassantFile >= 1 && p.enPassantFile <= 8) {
    fen += static_cast<char>('a' + p.enPassantFile - 1);
    fen += toMove == White ? '6' : '3';
  } else {
    fen += '-';
  }
  fen += " 0 1";
  return fen;
}

}  // namespace ormedan::testing
