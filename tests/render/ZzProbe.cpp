#include "render/CSkinImage.h"
#include "render/CTextStyle.h"
#include "render/GdiPlus.h"
#include "Pixels.h"
#include "TestFiles.h"
#include <gtest/gtest.h>
#include <cstdio>
TEST(Probe, Facts) {
    using namespace Gdiplus;
    InstalledFontCollection installed;
    int n = installed.GetFamilyCount();
    std::vector<FontFamily> fams(n);
    INT found = 0;
    installed.GetFamilies(n, fams.data(), &found);
    for (int i = 0; i < found && i < 40; ++i) {
        WCHAR name[LF_FACESIZE];
        fams[i].GetFamilyName(name);
        printf("family %d: %ls\n", i, name);
    }
    printf("generic sans %p\n", (void*)FontFamily::GenericSansSerif());
    HDC screen = GetDC(nullptr);
    HBITMAP zero = CreateCompatibleBitmap(screen, 0, 0);
    printf("zero bitmap %p stock %p type %lu\n", zero, GetStockObject(21), GetObjectType(zero));
    HBITMAP nulldc = CreateCompatibleBitmap(nullptr, 4, 4);
    printf("null dc bitmap %p\n", nulldc);
    std::string png = WriteSolidPng("half.png", 4, 4, 0x80FF0000);
    CSkinImage img;
    img.LoadFromFile(screen, png.c_str());
    printf("size %d %d loaded %d\n", img.width, img.height, img.IsLoaded());
    PixelImage px = ReadMemoryDC(img.memDC);
    printf("pixel %08x\n", px.At(1, 1));
    Canvas c = MakeCanvas(8, 8, 0xFF0000FF);
    { Graphics g(c.dc); img.AlphaDraw(&g, 0, 0, 4, 4); img.StretchDraw(&g, 4, 4, 4, 4); printf("status %d\n", g.GetLastStatus()); }
    printf("canvas %08x %08x %08x\n", c.At(1, 1), c.At(5, 5), c.At(7,0));
    CTextStyle style;
    printf("font avail %d\n", style.font && style.font->IsAvailable());
    WCHAR name[LF_FACESIZE] = {};
    if (style.fontFamily) style.fontFamily->GetFamilyName(name);
    printf("fallback family %ls\n", name);
    ReleaseDC(nullptr, screen);
}
