// tessarine-gift render: builds a gift's puzzle exactly as the player does
// and draws a board of it to a PNG, without a window: the pieces put back
// together, scattered, or arranged in a grid or around the edge.

#include <QImage>

#include <algorithm>
#include <cstdio>

#include "game/buildpieces.h"
#include "game/cut.h"
#include "game/puzzlerecord.h"
#include "pieces/arrange.h"
#include "pieces/colourkeys.h"
#include "pieces/mural.h"
#include "pieces/pieces.h"
#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/random.h"
#include "tools/tessarine-gift/command.h"
#include "tools/tessarine-gift/giftfile.h"
#include "tools/tessarine-gift/options.h"

namespace {

enum class TLayout { Solved, Scattered, Grid, Edge };

struct TRenderRequest {
  QString GiftPath;
  QString OutPath;
  TLayout Layout = TLayout::Solved;
  std::optional<std::int32_t> Outline;  // the gift's own when absent
  int ScalePercent = 100;
  std::optional<QSize> Board;
  bool Rotate = false;
  bool Shadows = false;
};

TRenderRequest ParseRequest(const QStringList& args) {
  const TOptions options(args, {{QStringLiteral("--out")},
                                {QStringLiteral("--layout")},
                                {QStringLiteral("--outline")},
                                {QStringLiteral("--scale")},
                                {QStringLiteral("--board")},
                                {QStringLiteral("--rotate"), false},
                                {QStringLiteral("--shadows"), false}});
  options.ExpectPositional(1, QStringLiteral("GIFT"));
  TRenderRequest request;
  request.GiftPath = options.Positional().front();
  request.OutPath = options.Required(QStringLiteral("--out"));
  request.Layout = TLayout(options.Choice(
      QStringLiteral("--layout"),
      {QStringLiteral("solved"), QStringLiteral("scattered"), QStringLiteral("grid"), QStringLiteral("edge")}, 0));
  if (options.Has(QStringLiteral("--outline")))
    request.Outline = options.Choice(QStringLiteral("--outline"), OutlineStyleWords, OutlineCard);
  request.ScalePercent = int(options.Integer(QStringLiteral("--scale"), 10, 400, 100));
  if (const auto board = options.Value(QStringLiteral("--board"))) {
    const QStringList parts = board->split(QLatin1Char('x'));
    bool wideOk = false, highOk = false;
    const int w = parts.size() == 2 ? parts[0].toInt(&wideOk) : 0;
    const int h = parts.size() == 2 ? parts[1].toInt(&highOk) : 0;
    if (!wideOk || !highOk || w < 16 || h < 16 || w > 16384 || h > 16384)
      throw TUsageError{QStringLiteral("--board takes WIDTHxHEIGHT, each 16 to 16384, not \"%1\"").arg(*board)};
    request.Board = QSize(w, h);
  }
  request.Rotate = options.Flag(QStringLiteral("--rotate"));
  request.Shadows = options.Flag(QStringLiteral("--shadows"));
  return request;
}

// The picture at the cut size, as the player stretches it for a scale.
TBitmap ScaledPicture(const TBitmap& original, int width, int height) {
  if (width == original.Width() && height == original.Height()) return original;
  TBitmap scaled(width, height);
  TCanvas(scaled).StretchDraw({0, 0, width, height}, original);
  return scaled;
}

// Every group as if it were lifted: a solid black shadow offset right and
// down, as a dragged piece casts it, then the pieces.
void DrawRaised(const TPieces& pieces, TPieceSpan list, TBitmap& board) {
  const int shadow = std::clamp(int(pieces.Puzzle().CellHeight) / 10, 2, 10);
  const int drop = shadow + (pieces.Options().IsWoodOutline() ? pieces.Thickness : 0);
  for (std::size_t first = 0; first < list.size();) {
    std::size_t end = first + 1;
    while (end < list.size() && list[end]->Group == list[first]->Group) ++end;
    const TPieceSpan group = list.subspan(first, end - first);
    TPieces::OffsetPieces(group, shadow, drop);
    pieces.DrawMasks(group, board);
    TPieces::OffsetPieces(group, -shadow, -drop);
    pieces.DrawPieceList(group, board, nullptr);
    first = end;
  }
}

}  // namespace

int RunRender(const QStringList& args) {
  const TRenderRequest request = ParseRequest(args);
  const TGiftTrailer trailer = ReadTrailerOf(request.GiftPath);
  const TBitmap original = ReadPictureOf(request.GiftPath, trailer);

  TPuzzleRecord record;
  record.ShapeStyle = std::int32_t(trailer.ShapeStyle);
  record.Oddness = trailer.Oddness;
  record.Seed = trailer.Seed;
  record.RequestedPieces = trailer.RequestedPieces;
  record.PieceCount = FitGrid(record, trailer.RequestedPieces, original.Width(), original.Height());
  record.ScalePercent = std::int16_t(request.ScalePercent);
  record.CutWidth = std::uint16_t(request.ScalePercent * record.PictureWidth / 100);
  record.CutHeight = std::uint16_t(request.ScalePercent * record.PictureHeight / 100);

  TPieceOptions options;
  options.OutlineStyle = request.Outline.value_or(std::int32_t(trailer.OutlineStyle));
  options.Rotating = request.Rotate;
  options.Shadows = request.Shadows;

  TPieces pieces(record, options);
  pieces.CreatePieces();
  std::vector<std::uint8_t> outlineBuffer;
  try {
    SetRandSeed(record.Seed);
    TCut cut = Cut(record, false);
    BuildPieces(cut, pieces, outlineBuffer, record.LabelBufferSize);
    pieces.Picture = ScaledPicture(original, record.CutWidth, record.CutHeight);
    pieces.BuildImages(outlineBuffer);
    ComputeColourKeys(pieces, pieces.Picture);
  } catch (const EError& e) {
    throw TUsageError{QStringLiteral("%1: %2").arg(request.GiftPath, e.Message())};
  }

  const QSize boardSize = request.Board.value_or(
      request.Layout == TLayout::Solved ? QSize(record.CutWidth, record.CutHeight) : QSize(1024, 768));
  const TRect area{0, 0, boardSize.width(), boardSize.height()};
  options.PlayWidth = area.Right;
  options.PlayHeight = area.Bottom;

  TPieceList all = pieces.AllPieces();
  if (request.Layout == TLayout::Solved) {
    for (TFormPiece* p : all) {
      p->X = p->HomeX;
      p->Y = p->HomeY;
    }
  } else {
    Scatter(pieces, all, area);
    const int mode = ArrangeSortMode(true, true);
    if (request.Layout == TLayout::Grid) ArrangeInGrid(pieces, all, area, mode);
    if (request.Layout == TLayout::Edge) ArrangeAtEdge(pieces, all, area, mode);
  }
  TPieces::SortList(all, SortStacking);

  TMural mural;
  mural.SetSize(area.Right, area.Bottom);
  mural.Paint(trailer.BackgroundColor);
  TBitmap board(area.Right, area.Bottom);
  mural.Draw(area, board);
  if (request.Shadows)
    DrawRaised(pieces, all, board);
  else
    pieces.DrawPieceList(all, board, nullptr);

  if (!board.Image().save(request.OutPath, "PNG")) {
    std::fprintf(stderr, "tessarine-gift render: cannot write %s\n", qPrintable(request.OutPath));
    return 1;
  }
  std::printf("columns %d rows %d pieces %d board %dx%d\n", record.Columns, record.Rows, record.PieceCount,
              area.Right, area.Bottom);
  return 0;
}
