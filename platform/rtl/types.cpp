#include "platform/rtl/types.h"

#include <algorithm>

namespace platform {

bool PtInRect(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

bool IsRectEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }

bool EqualRect(const TRect& A, const TRect& B) { return A == B; }

bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
  TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
  if (IsRectEmpty(R)) {
    Dest = TRect{};
    return false;
  }
  Dest = R;
  return true;
}

bool UnionRect(TRect& Dest, const TRect& A, const TRect& B) {
  if (IsRectEmpty(A)) {
    Dest = IsRectEmpty(B) ? TRect{} : B;
    return !IsRectEmpty(B);
  }
  if (IsRectEmpty(B)) {
    Dest = A;
    return true;
  }
  Dest = {std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right), std::max(A.Bottom, B.Bottom)};
  return true;
}

void InflateRect(TRect& R, int DX, int DY) {
  R.Left -= DX;
  R.Right += DX;
  R.Top -= DY;
  R.Bottom += DY;
}

void OffsetRect(TRect& R, int DX, int DY) {
  R.Left += DX;
  R.Right += DX;
  R.Top += DY;
  R.Bottom += DY;
}

TRect NormalizeRect(const TRect& R) {
  return {std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right), std::max(R.Top, R.Bottom)};
}

}  // namespace platform
