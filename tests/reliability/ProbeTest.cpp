#include "SkinnedBar.h"
#include "TestFiles.h"
#include "PngBytes.h"
#include "../../src/render/GdiPlus.h"
#include <gtest/gtest.h>
#include <cstdio>

static double Ms(LARGE_INTEGER a, LARGE_INTEGER b) { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart; }

TEST(Probe, Decode) {
    HDC screen = GetDC(nullptr);
    std::string tiny = WriteFileBytes("tiny.png", TinyValidPng(16, 16));
    // 24-bit BMP 16x16
    std::string bmp;
    {
        BITMAPFILEHEADER fh{}; BITMAPINFOHEADER ih{};
        ih.biSize = sizeof(ih); ih.biWidth = 16; ih.biHeight = 16; ih.biPlanes = 1; ih.biBitCount = 32;
        fh.bfType = 0x4D42; fh.bfOffBits = sizeof(fh) + sizeof(ih); fh.bfSize = fh.bfOffBits + 16 * 16 * 4;
        bmp.append((char*)&fh, sizeof(fh)); bmp.append((char*)&ih, sizeof(ih)); bmp.append(16 * 16 * 4, '\x7f');
    }
    std::string bmpPath = WriteFileBytes("tiny.bmp", bmp);
    for (auto path : {SkinFiles::Get().icon, SkinFiles::Get().background, tiny, bmpPath}) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        for (int i = 0; i < 100; ++i) { CSkinImage image; image.LoadFromFile(screen, path.c_str()); }
        QueryPerformanceCounter(&b); printf("%s: %.3f ms each\n", path.c_str(), Ms(a, b) / 100);
        QueryPerformanceCounter(&a);
        for (int i = 0; i < 100; ++i) { Gdiplus::GpBitmap* bm = nullptr; std::wstring w(path.begin(), path.end()); Gdiplus::DllExports::GdipCreateBitmapFromFile(w.c_str(), &bm); Gdiplus::DllExports::GdipDisposeImage(bm);}
        QueryPerformanceCounter(&b); printf("  decode only: %.3f ms each\n", Ms(a, b) / 100);
    }
}
