// Reading pixels back from bitmaps and DCs as 0xAARRGGBB values.
#pragma once
#include <cstdint>
#include <vector>
#include <windows.h>

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // top-down rows
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    static uint8_t Alpha(uint32_t p) { return static_cast<uint8_t>(p >> 24); }
    static uint8_t Red(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
    static uint8_t Green(uint32_t p) { return static_cast<uint8_t>(p >> 8); }
    static uint8_t Blue(uint32_t p) { return static_cast<uint8_t>(p); }
};

// The pixels of a bitmap (which must not be selected into a DC for some
// drivers; GetDIBits copes with the selected one under Wine and Windows).
PixelImage ReadBitmap(HDC dc, HBITMAP bitmap);
// The pixels of the bitmap currently selected into a memory DC.
PixelImage ReadMemoryDC(HDC memoryDC);
// A 32-bit top-down DIB section filled with one colour, selected into a new
// memory DC; for drawing tests. Release with FreeCanvas.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    uint32_t At(int x, int y) const { return bits[static_cast<size_t>(y) * width + x]; }
};
Canvas MakeCanvas(int width, int height, uint32_t fill);
void FreeCanvas(Canvas& canvas);
