// CRect: a RECT with constructors and size queries.
#pragma once
#include "AfxDefs.h"

class CRect : public tagRECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    CRect(const RECT& rc) { left = rc.left, top = rc.top, right = rc.right, bottom = rc.bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};
