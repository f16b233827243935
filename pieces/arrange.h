#pragma once
// Laying out loose pieces: the scatter of a new game and of Disarrange, and
// Arrange in Grid and Arrange at Edge with their sort keys. Each works on one
// tray's list of pieces and the rectangle the tray offers for arranging; the
// tray repaints that rectangle afterwards.

#include <span>

#include "pieces/pieces.h"
#include "platform/types.h"

// The SortList order for the Sort by Shape and Sort by Colour options: both
// give TSortOrder::ShapeColour, shape alone TSortOrder::Shape, colour alone TSortOrder::Colour,
// neither TSortOrder::Shuffle.
TSortOrder ArrangeSortMode(bool byShape, bool byColour);

// Sets EdgeClass of every record of the list from its home index.
void ComputeEdgeClasses(const TPieces& pieces, TPieceSpan list);

// Throws every record of the list that is not Joined to a random place in the
// area, each as a group of its own, with a fresh ShuffleKey and, when the
// Rotating option is on, a random orientation. Draws from the shared generator
// in list order (per piece: turns if rotating, X, Y, ShuffleKey), so the same
// seed gives the same layout. Then recomputes the edge classes and turns the
// pieces, with "Rotating: " progress when the option is on.
void Scatter(TPieces& pieces, TPieceSpan list, const TRect& area);

// Lay out the records of the list that are neither Joined nor Placed, sorted by
// order (ArrangeSortMode): in rows at a pitch of up to one and a half cells, or
// in rings along the border of the area that keep a picture-sized middle free.
// The list ends in stacking order.
void ArrangeInGrid(TPieces& pieces, std::span<TFormPiece*> list, const TRect& area, TSortOrder order);
void ArrangeAtEdge(TPieces& pieces, std::span<TFormPiece*> list, const TRect& area, TSortOrder order);

// Scatters the loose records of the list over the area again, or with
// rotateOnly turns them at random where they lie. The list ends in stacking
// order.
void Disarrange(TPieces& pieces, std::span<TFormPiece*> list, const TRect& area, bool rotateOnly);
