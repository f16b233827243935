#include "game/buildpieces.h"

#include <QString>

#include "game/cut.h"
#include "pieces/pieces.h"
#include "platform/errors.h"
#include "platform/hourglass.h"
#include "platform/utility.h"

namespace {

// Lets go of the cut and the centres and clears the status line, however the
// build ends.
class TCutRelease {
 public:
  TCutRelease(TCut& cut, TPieces& pieces) : cut_(cut), pieces_(pieces) {}
  TCutRelease(const TCutRelease&) = delete;
  TCutRelease& operator=(const TCutRelease&) = delete;
  ~TCutRelease() {
    cut_.Clear();
    pieces_.Centres = {};
    ClearStatus();
  }

 private:
  TCut& cut_;
  TPieces& pieces_;
};

}  // namespace

void BuildPieces(TCut& cut, TPieces& pieces, std::vector<std::uint8_t>& outlineBuffer,
                 std::int32_t& labelBufferSize) {
  THourglass hourglass;
  TCutRelease release(cut, pieces);
  outlineBuffer = {};
  labelBufferSize = 0;
  const TPuzzleGeometry& puzzle = pieces.Puzzle();
  if (cut.Width() != puzzle.CutWidth || cut.Height() != puzzle.CutHeight || cut.Columns() != puzzle.Columns ||
      cut.Rows() != puzzle.Rows)
    throw EError(QStringLiteral("The cut (%1 x %2 pixels, %3 x %4 cells) does not match the puzzle "
                                "(%5 x %6 pixels, %7 x %8 cells).")
                     .arg(cut.Width())
                     .arg(cut.Height())
                     .arg(cut.Columns())
                     .arg(cut.Rows())
                     .arg(puzzle.CutWidth)
                     .arg(puzzle.CutHeight)
                     .arg(puzzle.Columns)
                     .arg(puzzle.Rows));

  pieces.Centres.assign(cut.Centres().begin(), cut.Centres().end());
  const std::size_t sheetBytes = pieces.ExtractPieces(cut.Labels());
  outlineBuffer.assign(2 * sheetBytes, 0xFF);
  try {
    pieces.BuildMasks(cut.Labels(), outlineBuffer);
  } catch (...) {
    outlineBuffer = {};
    throw;
  }
  labelBufferSize = std::int32_t(outlineBuffer.size());
}
