// tessarine-gift render: builds a gift's puzzle through the player's own game
// object, without a window, and writes a board of it to a PNG: the pieces put
// back together, scattered as a new game scatters them, or arranged in a grid
// or around the edge; on request it lists where every piece lies on that
// board.

#include <QFile>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <new>

#include "display/screen.h"
#include "game/extrasrecord.h"
#include "game/jigsaw.h"
#include "game/windowstate.h"
#include "platform/errors.h"
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
  std::optional<int> ScalePercent;  // the first board's own scale when absent
  std::optional<QSize> Board;
  bool Rotate = false;
  bool Shadows = false;
  bool ListPieces = false;
};

TRenderRequest ParseRequest(const QStringList& args) {
  const TOptions options(args, {{QStringLiteral("--out")},
                                {QStringLiteral("--layout")},
                                {QStringLiteral("--outline")},
                                {QStringLiteral("--scale")},
                                {QStringLiteral("--board")},
                                {QStringLiteral("--rotate"), false},
                                {QStringLiteral("--shadows"), false},
                                {QStringLiteral("--list"), false}});
  options.ExpectPositional(1, QStringLiteral("GIFT"));
  TRenderRequest request;
  request.GiftPath = options.Positional().front();
  request.OutPath = options.Required(QStringLiteral("--out"));
  request.Layout = TLayout(options.Choice(
      QStringLiteral("--layout"),
      {QStringLiteral("solved"), QStringLiteral("scattered"), QStringLiteral("grid"), QStringLiteral("edge")}, 0));
  if (options.Has(QStringLiteral("--outline")))
    request.Outline = options.Choice(QStringLiteral("--outline"), OutlineStyleWords, OutlineCard);
  if (options.Has(QStringLiteral("--scale")))
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
  request.ListPieces = options.Flag(QStringLiteral("--list"));
  return request;
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

// The puzzle as its last join leaves it: every piece at home in one group, so
// that the wood sides go under the whole picture and a raised board casts one
// shadow. The positions are stored in proportion too, so that a refit of the
// board keeps them; then the board is drawn again from the mural up.
void PutTogether(TJigsaw& game) {
  TBox& board = game.BoardTray();
  const TRect area = board.BoundsRect();
  const std::int32_t group = game.Record.NextGroupId++;
  for (TFormPiece* p : board.Pieces) {
    p->Group = group;
    p->Joined = true;
    game.SetPosition(*p, p->HomeX, p->HomeY, area);
  }
  board.SortPieces(TSortOrder::Stacking);
  game.RefreshArea(area);
}

// The player's road to its first board on a play area of the board's size,
// with the request's options in place of the gift's, then the layout asked
// for.
void DrawBoard(TJigsaw& game, const TRenderRequest& request) {
  TWindowState& window = game.Window;
  game.LoadGift();

  // Loading set the option menus from the gift; the request's choices go
  // there too, and the options record follows the menus before the build.
  TOptionMenus& menus = window.Menus;
  if (request.Outline) menus.SelectOutline(*request.Outline);
  // Pieces at home are the right way up: only the layouts that scatter turn
  // them.
  menus.Rotation.SetChecked(request.Rotate && request.Layout != TLayout::Solved);
  menus.Shadows.SetChecked(request.Shadows);
  game.Config.CaptureFromMenus();

  // The board is known before the cut, which a new game chooses to suit it;
  // the solved picture asked for without a board lies on a board of its
  // cut's size, at the gift's own scale.
  const bool boardOfTheCut = request.Layout == TLayout::Solved && !request.Board;
  const QSize board = request.Board.value_or(boardOfTheCut ? QSize(0, 0) : QSize(1024, 768));
  window.PlayAreaWidth = board.width();
  window.PlayAreaHeight = board.height();
  game.BuildPuzzle();
  if (request.ScalePercent && *request.ScalePercent != game.Record.ScalePercent)
    game.SetScale(*request.ScalePercent);

  const QSize size = boardOfTheCut ? QSize(game.Record.CutWidth, game.Record.CutHeight) : board;
  window.PlayAreaWidth = size.width();
  window.PlayAreaHeight = size.height();
  // Always the first board of a new game, whatever saved game lies beside
  // the gift.
  game.BeginPlay(TJigsaw::TOpening::New);

  switch (request.Layout) {
    case TLayout::Solved:
      PutTogether(game);
      break;
    case TLayout::Scattered:
      break;
    case TLayout::Grid:
      game.ArrangeInGrid(TArrangeSource::Board, true, true);
      break;
    case TLayout::Edge:
      game.ArrangeAtEdge(TArrangeSource::Board, true, true);
      break;
  }
  if (request.Shadows) {
    game.View.Mural.Draw(game.View.BoardBitmap.BoundsRect(), game.View.BoardBitmap);
    DrawRaised(game, game.BoardTray().Pieces, game.View.BoardBitmap);
  }
}

}  // namespace

int RunRender(const QStringList& args) {
  const TRenderRequest request = ParseRequest(args);
  TWindowState window;
  TGameRecords records;
  TScreen screen;  // no window shows it: the game's board bitmap is the render
  TJigsaw game(window, records, screen, [&request] { return request.GiftPath; });
  try {
    DrawBoard(game, request);
  } catch (const EError& e) {
    throw TUsageError{QStringLiteral("\"%1\": %2").arg(request.GiftPath, e.Message())};
  } catch (const std::bad_alloc&) {
    throw TUsageError{QStringLiteral("\"%1\": not enough memory for this board").arg(request.GiftPath)};
  }

  const TBitmap& board = game.View.BoardBitmap;
  if (!board.Image().save(request.OutPath, "PNG")) {
    std::fprintf(stderr, "tessarine-gift render: cannot write %s\n", qPrintable(request.OutPath));
    return 1;
  }
  std::printf("columns %d rows %d pieces %d board %dx%d scale %d\n", records.Puzzle.Columns, records.Puzzle.Rows,
              records.Puzzle.PieceCount, board.Width(), board.Height(), records.Puzzle.ScalePercent);
  if (request.ListPieces)
    for (const TFormPiece& p : game.Pieces)
      std::printf("piece %d x %d y %d w %d h %d home %d %d rotation %d\n", p.Index, p.X, p.Y, p.Width, p.Height,
                  p.HomeX, p.HomeY, p.Rotation);
  return 0;
}
