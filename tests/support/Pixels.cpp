#include "Pixels.h"

PixelImage ReadBitmap(HDC dc, HBITMAP bitmap) {
    PixelImage image;
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof(info), &info))
        return image;
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = image.width;
    bmi.bmiHeader.biHeight = -image.height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(), &bmi,
                DIB_RGB_COLORS);
    return image;
}

PixelImage ReadMemoryDC(HDC memoryDC) {
    auto bitmap = static_cast<HBITMAP>(::GetCurrentObject(memoryDC, OBJ_BITMAP));
    return ReadBitmap(memoryDC, bitmap);
}

Canvas MakeCanvas(int width, int height, uint32_t fill) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    canvas.bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas.bits = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i)
        canvas.bits[i] = fill;
    canvas.dc = ::CreateCompatibleDC(nullptr);
    canvas.previous = ::SelectObject(canvas.dc, canvas.bitmap);
    return canvas;
}

void FreeCanvas(Canvas& canvas) {
    if (canvas.dc) {
        ::SelectObject(canvas.dc, canvas.previous);
        ::DeleteDC(canvas.dc);
    }
    if (canvas.bitmap)
        ::DeleteObject(canvas.bitmap);
    canvas = Canvas{};
}
