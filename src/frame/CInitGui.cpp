// GDI+ start and stop for the whole process, and the factory of bars.
#include "Tavrel.h"
#include "../bar/CSearchBar.h"
#include "../render/CGlyphText.h"
#include "../render/CSkinPictureCache.h"
#include "../render/GdiPlus.h"
#include "CBarRegistry.h"

#include <new>

namespace {
ULONG_PTR g_gdiplusToken = 0;
}

int CInitGui::Startup() {
    Gdiplus::GdiplusStartupInput input; // version 1, no callback, nothing suppressed
    return Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) == Gdiplus::Ok ? 1 : 0;
}

// Requests in flight end first: nothing may reach a bar after its host
// called this.
void CInitGui::Clearup() {
    CSearchBar::StopAllLiveSuggestions();
    CSkinPictureCache::Clear();
    CGlyphText::Release();
    Gdiplus::GdiplusShutdown(g_gdiplusToken);
}

CInitGui& CInitGui::operator=(const CInitGui&) {
    return *this;
}

CTavrel::CTavrel() = default;
CTavrel::CTavrel(const CTavrel&) {}

CTavrel& CTavrel::operator=(const CTavrel&) {
    return *this;
}

CTavrel* CTavrel::CreateTavrel() {
    auto* bar = new (std::nothrow) CSearchBar;
    if (!bar)
        return nullptr;
    CWnd* window = bar;
    CBarRegistry::Instance().Add(reinterpret_cast<uintptr_t>(window), window);
    return bar;
}
