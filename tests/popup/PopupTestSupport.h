// Helpers for the popup list tests: RECT comparison and printing, a list
// that counts its paints, reading text and colours from a list's back
// buffer, and a window on another thread to take the activation away.
#pragma once
#include "Pixels.h"
#include <cstdint>
#include <ostream>
#include <windows.h>

bool operator==(const RECT& a, const RECT& b);
void PrintTo(const RECT& r, std::ostream* os);

RECT WindowRectOf(HWND window);

// A list that counts the WM_PAINT messages its window handles.
template <class List> class PaintCounting : public List {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT)
            ++paints;
        return List::WindowProc(message, wParam, lParam);
    }
    int paints = 0;
};

// Paints the window now and returns the list's back buffer.
PixelImage PaintAndRead(HWND window, HDC bufferDC);

// Pixels that can only be text: dark, where skins are light or coloured
// and the frame is left out by the caller's rectangle.
bool IsTextPixel(uint32_t pixel);
int CountTextPixels(const PixelImage& image, const RECT& area);
// Leftmost column of a text pixel in area, or -1.
int LeftmostTextColumn(const PixelImage& image, const RECT& area);
// Rightmost column of a text pixel in area, or -1.
int RightmostTextColumn(const PixelImage& image, const RECT& area);
// Each channel of pixel within tolerance of rgb (0xRRGGBB).
bool IsNearColor(uint32_t pixel, uint32_t rgb, int tolerance = 3);
int CountNearColor(const PixelImage& image, const RECT& area, uint32_t rgb);

// A visible window owned by another thread of this process. Making it the
// foreground window deactivates this thread's windows (WM_ACTIVATEAPP 0).
class OtherThreadWindow {
public:
    OtherThreadWindow();
    ~OtherThreadWindow();
    OtherThreadWindow(const OtherThreadWindow&) = delete;
    OtherThreadWindow& operator=(const OtherThreadWindow&) = delete;
    HWND hwnd() const { return window; }

private:
    static DWORD WINAPI Run(void* self);
    HANDLE ready = nullptr;
    HANDLE thread = nullptr;
    HWND window = nullptr;
};
