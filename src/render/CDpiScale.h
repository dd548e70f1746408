// CDpiScale: the DPI a window is shown at and the one rounding rule every
// size of the bar, its query field and its lists follows. Sizes are made at
// 96 DPI; Scale turns them into the pixels of this DPI with MulDiv, so hit
// rectangles and drawn parts that come from the same numbers stay aligned.
#pragma once
#include <windows.h>

class CDpiScale {
public:
    static constexpr int BaseDpi = 96;

    explicit CDpiScale(int dpi = BaseDpi) : dpi(dpi > 0 ? dpi : BaseDpi) {}
    // The DPI of the window, through GetDpiForWindow looked up at run time;
    // 96 where the system has no such function or the window is null.
    static CDpiScale OfWindow(HWND window);

    int GetDpi() const { return dpi; }
    // A size at 96 DPI in the pixels of this DPI, rounded to nearest.
    int Scale(int pixels) const { return ::MulDiv(pixels, dpi, BaseDpi); }
    // The scale in percent (200 at 192 DPI).
    int Percent() const { return Scale(100); }
    bool IsUnscaled() const { return dpi == BaseDpi; }
    bool operator==(const CDpiScale& other) const { return dpi == other.dpi; }
    bool operator!=(const CDpiScale& other) const { return dpi != other.dpi; }

private:
    int dpi;
};
