#pragma once
// Turning a cut into pieces: the piece set extracts every piece from the cut's
// label map and writes the mask sheets that the game keeps until the next cut.

#include <cstdint>
#include <vector>

class TCut;
class TPieces;

// Extracts the pieces of the cut into the piece set's records (which must
// exist, one per cell of the cut's grid) and replaces outlineBuffer with the
// two mask sheets; labelBufferSize becomes its byte size. The cut's map is
// filled in place for that; it and the centres, and the piece set's Centres,
// are freed and the status line is cleared on every way out; the hourglass
// shows meanwhile; errors of the piece set (EError, bad_alloc)
// reach the caller, with outlineBuffer then empty.
void BuildPieces(TCut& cut, TPieces& pieces, std::vector<std::uint8_t>& outlineBuffer,
                 std::int32_t& labelBufferSize);
