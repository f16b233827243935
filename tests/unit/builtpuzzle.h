#pragma once
// Pieces for the tests of piece images and quarter turns: a puzzle cut from a
// generated picture by the game's own cut, and a single piece of a chosen
// shape in a cell of its own.

#include <cstdint>
#include <functional>
#include <vector>

#include "game/buildpieces.h"
#include "game/cut.h"
#include "game/jigsaw.h"
#include "pieces/pieces.h"
#include "platform/random.h"
#include "platform/utility.h"

// Every channel at least 16, so that no picture pixel looks like the black
// outside a piece, and neighbouring pixels all differ.
inline TBitmap TestPicture(int width, int height) {
  TBitmap picture(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = std::uint8_t(16 + (5 * x + 3 * y) % 240);
      row[3 * x + 1] = std::uint8_t(16 + (3 * x + 7 * y) % 240);
      row[3 * x + 2] = std::uint8_t(16 + (x ^ (2 * y)) % 240);
    }
  }
  return picture;
}

struct TBuiltPuzzle {
  TPuzzleRecord Record;
  TPieceOptions Options;
  TPieces Pieces{Record, Options};
  std::vector<std::uint8_t> OutlineBuffer;
  std::int32_t& LabelBufferSize = Record.LabelBufferSize;  // where the cut keeps the sheets' size
  TBitmap OriginalPicture;  // the picture every cut starts from

  TBuiltPuzzle(int width, int height, int requested, int style, int oddness, std::uint32_t seed,
               std::int32_t outline) {
    Options.OutlineStyle = outline;
    Record.ShapeStyle = style;
    Record.Oddness = std::uint16_t(oddness);
    Record.Seed = seed;
    Record.PieceCount = FitGrid(Record, requested, width, height);
    Pieces.CreatePieces();
    OriginalPicture = TestPicture(width, height);
    Rebuild();
  }

  // Cuts again with the same seed and rebuilds every image, as a re-cut does.
  void Rebuild() { CutPuzzle(Pieces, Record, OriginalPicture, OutlineBuffer, false); }

  // Every piece at its home position.
  void PlaceAtHome() {
    for (TFormPiece& p : Pieces.Pieces) {
      p.X = p.HomeX;
      p.Y = p.HomeY;
    }
  }
};

// One piece alone in its cell: the pixels of a width x height box for which
// inside holds, built from a mask buffer as the game builds it.
struct TLonePiece {
  TPuzzleGeometry Geometry;
  TPieceOptions Options;
  TPieces Pieces{Geometry, Options};
  std::vector<std::uint8_t> Buffer;

  TLonePiece(int cell, int width, int height, std::int32_t outline,
             const std::function<bool(int, int)>& inside = [](int, int) { return true; }) {
    Options.OutlineStyle = outline;
    Geometry.PieceCount = Geometry.Columns = Geometry.Rows = 1;
    Geometry.CutWidth = Geometry.PictureWidth = std::uint16_t(width);
    Geometry.CutHeight = Geometry.PictureHeight = std::uint16_t(height);
    Geometry.CellHeight = std::uint16_t(cell);
    Geometry.CellWidth = std::uint16_t(RoundUp8(std::uint16_t(cell)));
    Geometry.SheetWidth = std::uint16_t(RoundUp16(Geometry.CellWidth));
    Geometry.SheetHeight = std::uint16_t(cell);
    Pieces.CreatePieces();
    Piece().Width = std::uint16_t(width);
    Piece().Height = std::uint16_t(height);
    Pieces.Picture = TestPicture(width, height);
    const std::size_t rowBytes = Geometry.SheetWidth / 8u;
    const std::size_t sheet = rowBytes * std::size_t(cell);
    Buffer.assign(2 * sheet, 0xFF);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (inside(x, y)) Buffer[sheet + std::size_t(y) * rowBytes + std::size_t(x / 8)] &= std::uint8_t(~(0x80 >> (x % 8)));
    Pieces.BuildImages(Buffer);
  }

  TFormPiece& Piece() { return Pieces.Pieces[0]; }

  // The rim drawn on mid grey: 178 light, 58 dark, 128 untouched.
  TBitmap RimOnGrey() {
    TBitmap grey(Piece().Width + 4, Piece().Height + 4);
    grey.Fill(RGBColor(128, 128, 128));
    Pieces.RimPainter.DrawRuns(Piece().RimSprite, grey, nullptr, 0, 0, Piece().Width, Piece().Height);
    return grey;
  }
};
