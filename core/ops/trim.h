// Trimming: the selection's rules (handles, drags, typed coordinates, ratios), the darkened
// working picture and the cut. Portable.
#pragma once
#include <array>
#include <cstdint>

#include "core/image/image.h"
#include "core/ops/pixel_job.h"
#include "core/ops/size_slots.h"

namespace pelio {

// Inclusive image coordinates, y counted from the top row; x1 ≤ x2, y1 ≤ y2.
struct TrimRect {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    friend bool operator==(const TrimRect&, const TrimRect&) = default;
};

// The coordinate fields X1, Y1, X2, Y2 in the toolbar's order.
enum class TrimField : int { X1 = 0, Y1 = 1, X2 = 2, Y2 = 3 };

int32_t TrimCoordinate(const TrimRect& selection, TrimField field);

// What an up-down may reach: X1 0 … x2, Y1 0 … y2, X2 x1 … width − 1, Y2 y1 … height − 1.
struct TrimFieldRange {
    int32_t low = 0, high = 0;
};
TrimFieldRange TrimFieldRangeOf(const TrimRect& selection, TrimField field, int32_t width, int32_t height);

// Whether Confirm cuts anything: not for a selection covering the whole picture.
bool TrimChangesPicture(const TrimRect& selection, int32_t width, int32_t height);

// ---- Mouse

// The part of the selection under the pointer.
enum class TrimHandle : int {
    None = 0,
    Left = 1,
    Top = 2,
    Right = 3,
    Bottom = 4,
    TopLeft = 5,
    TopRight = 6,
    BottomRight = 7,
    BottomLeft = 8,
    Inside = 9,
};

// The selection's outline in pane pixels: the columns and rows it is drawn on.
struct TrimOutline {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
// Within 7 pixels (strictly) of the left or right line the pointer is on that side, of the
// top or bottom line on that side; two sides make a corner, one an edge, none inside the
// outline the inside. Where the outline is so small that both opposite lines are near, the
// nearer wins (the left or top one when equally near).
inline constexpr int32_t kTrimHandleReach = 7;
TrimHandle FindTrimHandle(int32_t paneX, int32_t paneY, const TrimOutline& outline);

// The cursor a handle shows.
enum class TrimCursor { Normal, LeftRight, UpDown, TopLeftBottomRight, TopRightBottomLeft, Move };
TrimCursor TrimCursorFor(TrimHandle handle);

// A press becomes a rubber band once the pointer is more than 8 pixels away from it (the
// horizontal plus the vertical distance, pane pixels).
bool TrimBandStarted(int32_t dx, int32_t dy);
// The rubber band's corners ordered and kept in the picture.
TrimRect TrimFromCorners(int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t width, int32_t height);

// A handle drag, from the press on.
struct TrimDrag {
    TrimHandle handle = TrimHandle::None;
    TrimRect start;                   // the selection at the press
    int32_t pressX = 0, pressY = 0;   // the press, image pixels
};

// The selection while the pointer is at image point (x, y):
// - an edge follows the pointer, kept between the picture's side and the opposite edge, then
//   goes through SetTrimCoordinate with the centre of the selection at the press;
// - a corner follows the pointer with the opposite corner fixed, staying on its own side of
//   it; with a ratio the extents |Δx| + |Δy| are shared as round(T·w / (w + h)) and
//   round(T·h / (w + h)) and a corner that would leave the picture is not moved;
// - the inside moves by the pointer's travel since the press, stopping at the picture's edges.
// False when the move is ignored (`selection` unchanged).
bool DragTrimHandle(TrimRect& selection, const TrimDrag& drag, int32_t x, int32_t y, SizeSlot ratio,
                    int32_t width, int32_t height);

// ---- Typed coordinates and ratios

// Centre of the selection, taken when a coordinate field gets the focus.
struct TrimCentre {
    int32_t x = 0, y = 0;
};
constexpr TrimCentre CentreOf(const TrimRect& r) { return {(r.x1 + r.x2) >> 1, (r.y1 + r.y2) >> 1}; }

// A typed coordinate: clamped between the picture's side and the opposite edge, it becomes
// the new edge. With a ratio w:h set (both numbers) the other direction follows: its extent
// e = round(h·(x2 − x1) / w) (or round(w·(y2 − y1) / h)), placed about `centre` as
// c − (e − e/2) … c + e/2, moved down to start at 0 or up to end at the last row (column)
// when it leaves the picture. False, and `selection` unchanged, when it still cannot fit.
bool SetTrimCoordinate(TrimRect& selection, TrimField field, int32_t value, SizeSlot ratio, TrimCentre centre,
                       int32_t width, int32_t height);

// A ratio chosen in the list, applied to the selection: the width drives (the height follows
// about the centre, as for a typed x2); when that height cannot fit the picture, the height
// drives the width instead. False (unchanged) for a ratio not set or if neither fits.
bool ApplyTrimRatio(TrimRect& selection, SizeSlot ratio, int32_t width, int32_t height);

// ---- Pictures

// Entry i is i >> 1: the darkening outside the selection.
const std::array<uint8_t, 256>& HalvingTable();

// The working picture: the job's 24-bit source copied into its 24-bit target of the same
// size, inside `selection` unchanged and everything else (row padding included) halved
// through the halving table. False for a job that is not 24-bit.
bool RebuildTrimPreview(const PixelJob& job, const TrimRect& selection);

// The cut: rows y1 … y2 and columns x1 … x2 of the 8- or 24-bit `source` into `target`,
// whose header must already be (x2 − x1 + 1) × (y2 − y1 + 1) at the source's bit count and
// whose pixels are allocated; an 8-bit source's palette goes with it. False, target
// untouched, for a selection outside the picture or a target that does not match.
bool TrimPixels(const Image& source, const TrimRect& selection, Image& target);

// The file size the cut shows: padded row bytes × height + 1078.
inline int32_t TrimmedFileSize(const Image& target) { return BmpFileSize(target, kBmpHeaderBytes + kBmpPaletteBytes); }

}  // namespace pelio
