// Points, rectangles and their helpers.
#pragma once

namespace platform {

/// \brief A point in pixels.
struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

/// \brief A rectangle; Right and Bottom lie just outside it.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

/// \brief A width and height.
struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

inline TPoint Point(int X, int Y) { return {X, Y}; }
inline TRect Rect(int Left, int Top, int Right, int Bottom) { return {Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height) { return {Left, Top, Left + Width, Top + Height}; }

/// True when P lies inside R; the right and bottom edges are outside.
bool PtInRect(const TRect& R, const TPoint& P);
/// True when the rectangle holds no pixel (Right <= Left or Bottom <= Top).
bool IsRectEmpty(const TRect& R);
bool EqualRect(const TRect& A, const TRect& B);
/// The common part of A and B in Dest; false (and an all-zero Dest) when they
/// share no pixel, so rectangles that only touch do not intersect.
bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B);
/// The smallest rectangle holding both; an empty rectangle adds nothing.
/// False (and an all-zero Dest) when both are empty.
bool UnionRect(TRect& Dest, const TRect& A, const TRect& B);
/// Grows R by DX on the left and right and DY on the top and bottom.
void InflateRect(TRect& R, int DX, int DY);
void OffsetRect(TRect& R, int DX, int DY);
/// Orders the edges so that Left <= Right and Top <= Bottom.
TRect NormalizeRect(const TRect& R);

}  // namespace platform
