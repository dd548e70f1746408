// Screen region to PNG: a GDI copy of the screen, read back as pixels and
// encoded by GDI+. The copy's DC and bitmap are held by small guards.
#include "ScreenCapture.h"
#include "../PngEncoder.h"

#include <vector>

namespace {
// The screen's DC for the life of the object.
class ScreenDC {
  public:
    ScreenDC() : dc(::GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc)
            ::ReleaseDC(nullptr, dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return dc; }

  private:
    HDC dc;
};

// A bitmap of the screen's format with a memory DC drawing into it. The DC
// goes first, so the bitmap is never deleted while selected.
class MemoryBitmap {
  public:
    MemoryBitmap(HDC reference, int width, int height)
        : dc(::CreateCompatibleDC(reference)),
          bitmap(::CreateCompatibleBitmap(reference, width, height)),
          previous(dc && bitmap ? ::SelectObject(dc, bitmap) : nullptr) {}
    ~MemoryBitmap() {
        Deselect();
        if (dc)
            ::DeleteDC(dc);
        if (bitmap)
            ::DeleteObject(bitmap);
    }
    // Takes the bitmap out of the DC, so that its bits can be read.
    void Deselect() {
        if (dc && previous)
            ::SelectObject(dc, previous);
        previous = nullptr;
    }
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;
    bool Ready() const { return dc && bitmap && previous; }
    HDC DC() const { return dc; }
    HBITMAP Bitmap() const { return bitmap; }

  private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

std::wstring Widen(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

RECT ClipToScreen(RECT region) {
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT clipped{};
    ::IntersectRect(&clipped, &region, &screen);
    return clipped;
}

// The bitmap's pixels as top-down 32-bit rows; empty when unreadable.
std::vector<UINT32> ReadPixels(HDC reference, HBITMAP bitmap, int width, int height) {
    std::vector<UINT32> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (::GetDIBits(reference, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                    DIB_RGB_COLORS) != height)
        pixels.clear();
    return pixels;
}

bool SaveAsPng(std::vector<UINT32>& pixels, int width, int height, const std::string& pngPath) {
    CLSID png;
    if (!FindPngEncoder(&png))
        return false;
    // The screen has no alpha: 32bppRGB makes every pixel opaque.
    Gdiplus::Bitmap image(width, height, width * 4, PixelFormat32bppRGB,
                          reinterpret_cast<BYTE*>(pixels.data()));
    return image.Save(Widen(pngPath).c_str(), &png, nullptr) == Gdiplus::Ok;
}
} // namespace

bool CaptureScreenRegion(RECT region, const std::string& pngPath) {
    region = ClipToScreen(region);
    const int width = region.right - region.left;
    const int height = region.bottom - region.top;
    if (width <= 0 || height <= 0)
        return false;
    ScreenDC screen;
    if (!screen.Get())
        return false;
    MemoryBitmap copy(screen.Get(), width, height);
    if (!copy.Ready())
        return false;
    // CAPTUREBLT: include layered windows, which the bar is.
    if (!::BitBlt(copy.DC(), 0, 0, width, height, screen.Get(), region.left, region.top,
                  SRCCOPY | CAPTUREBLT))
        return false;
    copy.Deselect();
    std::vector<UINT32> pixels = ReadPixels(screen.Get(), copy.Bitmap(), width, height);
    return !pixels.empty() && SaveAsPng(pixels, width, height, pngPath);
}
