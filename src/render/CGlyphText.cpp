// CGlyphText: the glyph masks of every font drawn, kept for the process
// (bounded: all are dropped past kMostGlyphs) until Release, a memory DC to
// take them from and a scratch bitmap to blend rows from, under a lock
// since bars may live on several threads.
#include "CGlyphText.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <vector>

namespace {
constexpr size_t kMostGlyphs = 8192;
constexpr int kFullCoverage = 64; // GGO_GRAY8_BITMAP's grey levels run 0 to 64

// A glyph's box relative to the pen on the baseline, its advance and its
// coverage, width x height bytes.
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<BYTE> coverage;
};

struct FontGlyphs {
    int ascent = 0;
    std::map<wchar_t, Glyph> glyphs;
};

struct GlyphStore {
    std::mutex lock;
    HDC dc = nullptr; // glyph look-ups and the scratch bitmap
    std::map<std::wstring, FontGlyphs> fonts;
    size_t glyphCount = 0;
    HBITMAP scratch = nullptr;
    DWORD* scratchBits = nullptr;
    int scratchWidth = 0;
    int scratchHeight = 0;
    std::vector<BYTE> coverage;
};

// Made on first use; Release empties it.
GlyphStore& TheStore() {
    static GlyphStore* store = new GlyphStore;
    return *store;
}

bool InRange(wchar_t c, wchar_t first, wchar_t last) {
    return c >= first && c <= last;
}

// Characters whose glyph is drawn as it is, whatever stands beside it:
// no combining marks, joiners, direction marks or controls.
bool StandsAlone(wchar_t c) {
    return InRange(c, 0x20, 0x7E) || InRange(c, 0xA0, 0x2FF) || InRange(c, 0x370, 0x3FF) ||
           InRange(c, 0x400, 0x482) || InRange(c, 0x48A, 0x52F) || InRange(c, 0x1E00, 0x1FFF) ||
           InRange(c, 0x2010, 0x2027) || InRange(c, 0x2030, 0x205E) ||
           InRange(c, 0x20A0, 0x20CF) || InRange(c, 0x2100, 0x27BF) ||
           InRange(c, 0x3000, 0x3029) || InRange(c, 0x3030, 0x303F) ||
           InRange(c, 0x3041, 0x3096) || InRange(c, 0x309B, 0x30FF) ||
           InRange(c, 0x3400, 0x4DBF) || InRange(c, 0x4E00, 0x9FFF) ||
           InRange(c, 0xAC00, 0xD7A3) || InRange(c, 0xFF01, 0xFFEF);
}

// GDI+'s rounding of a position to a pixel.
int RoundToPixel(float value) {
    return static_cast<int>(std::floor(value + 0.5f));
}

std::wstring KeyOf(const LOGFONTW& font) {
    return std::wstring(font.lfFaceName) + L'|' + std::to_wstring(font.lfHeight) + L'|' +
           std::to_wstring(font.lfWidth) + L'|' + std::to_wstring(font.lfWeight) + L'|' +
           std::to_wstring(font.lfItalic) + L'|' + std::to_wstring(font.lfCharSet);
}

FontGlyphs& GlyphsOf(GlyphStore& store, HFONT font, const LOGFONTW& description) {
    if (store.glyphCount > kMostGlyphs) {
        store.fonts.clear();
        store.glyphCount = 0;
    }
    const auto [entry, added] = store.fonts.try_emplace(KeyOf(description));
    if (added) {
        const HGDIOBJ old = ::SelectObject(store.dc, font);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(store.dc, &metrics);
        ::SelectObject(store.dc, old);
        entry->second.ascent = metrics.tmAscent;
    }
    return entry->second;
}

// The glyph from the font, or null when the font cannot give it.
const Glyph* LoadGlyph(GlyphStore& store, FontGlyphs& glyphs, HFONT font, wchar_t c) {
    const auto known = glyphs.glyphs.find(c);
    if (known != glyphs.glyphs.end())
        return &known->second;
    static const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const HGDIOBJ old = ::SelectObject(store.dc, font);
    GLYPHMETRICS metrics{};
    const DWORD size = ::GetGlyphOutlineW(store.dc, c, GGO_GRAY8_BITMAP, &metrics, 0, nullptr,
                                          &identity);
    std::vector<BYTE> raw(size == GDI_ERROR ? 0 : size);
    const bool read = size != GDI_ERROR &&
                      (size == 0 || ::GetGlyphOutlineW(store.dc, c, GGO_GRAY8_BITMAP, &metrics,
                                                       size, raw.data(), &identity) != GDI_ERROR);
    ::SelectObject(store.dc, old);
    if (!read)
        return nullptr;
    Glyph glyph;
    glyph.advance = metrics.gmCellIncX;
    if (size) {
        glyph.left = metrics.gmptGlyphOrigin.x;
        glyph.top = -metrics.gmptGlyphOrigin.y;
        glyph.width = static_cast<int>(metrics.gmBlackBoxX);
        glyph.height = static_cast<int>(metrics.gmBlackBoxY);
        const size_t stride = (metrics.gmBlackBoxX + 3) & ~3u; // rows are DWORD aligned
        glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
        for (int row = 0; row < glyph.height; ++row)
            std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(row * stride), glyph.width,
                        glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
    }
    ++store.glyphCount;
    return &glyphs.glyphs.emplace(c, std::move(glyph)).first->second;
}

bool GrowScratch(GlyphStore& store, int w, int h) {
    if (store.scratch && store.scratchWidth >= w && store.scratchHeight >= h)
        return true;
    w = std::max(w, store.scratchWidth);
    h = std::max(h, store.scratchHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP grown = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!grown)
        return false;
    ::SelectObject(store.dc, grown);
    if (store.scratch)
        ::DeleteObject(store.scratch);
    store.scratch = grown;
    store.scratchBits = static_cast<DWORD*>(bits);
    store.scratchWidth = w;
    store.scratchHeight = h;
    return true;
}

// The target's own bitmap bounds what can be drawn on it.
RECT TargetBounds(HDC target) {
    BITMAP bitmap{};
    HGDIOBJ selected = ::GetCurrentObject(target, OBJ_BITMAP);
    if (!selected || !::GetObjectW(selected, sizeof(bitmap), &bitmap))
        return RECT{0, 0, 0, 0};
    return RECT{0, 0, bitmap.bmWidth, bitmap.bmHeight};
}

struct PlacedGlyph {
    const Glyph* glyph;
    int x;
    int y;
};

// Adds the glyphs' coverage inside box, as GDI+ does: summed, at most full.
void AddCoverage(const std::vector<PlacedGlyph>& placed, const RECT& box, std::vector<BYTE>& out) {
    const int boxWidth = box.right - box.left;
    for (const PlacedGlyph& p : placed) {
        const Glyph& g = *p.glyph;
        const int top = std::max<int>(p.y, box.top), bottom = std::min<int>(p.y + g.height, box.bottom);
        const int left = std::max<int>(p.x, box.left), right = std::min<int>(p.x + g.width, box.right);
        for (int y = top; y < bottom; ++y) {
            const BYTE* from = &g.coverage[static_cast<size_t>((y - p.y) * g.width + (left - p.x))];
            BYTE* to = &out[static_cast<size_t>((y - box.top) * boxWidth + (left - box.left))];
            for (int x = left; x < right; ++x, ++from, ++to)
                *to = static_cast<BYTE>(std::min(kFullCoverage, *to + *from));
        }
    }
}

// Coverage to premultiplied pixels of the colour in the scratch bitmap.
void FillScratch(GlyphStore& store, const std::vector<BYTE>& coverage, int w, int h, DWORD color) {
    const DWORD alpha = color >> 24;
    const DWORD red = (color >> 16) & 0xFF, green = (color >> 8) & 0xFF, blue = color & 0xFF;
    for (int y = 0; y < h; ++y) {
        const BYTE* from = &coverage[static_cast<size_t>(y) * w];
        DWORD* to = store.scratchBits + static_cast<size_t>(y) * store.scratchWidth;
        for (int x = 0; x < w; ++x) {
            const DWORD a = alpha * from[x] / kFullCoverage;
            to[x] = a << 24 | (red * a + 127) / 255 << 16 | (green * a + 127) / 255 << 8 |
                    (blue * a + 127) / 255;
        }
    }
}
} // namespace

bool CGlyphText::DrawsAlone(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), StandsAlone);
}

bool CGlyphText::Draw(HDC target, HFONT font, float emSize, const std::wstring& text, float x,
                      float y, float w, float h, DWORD color) {
    LOGFONTW description{};
    if (!target || !font || text.empty() || !DrawsAlone(text) ||
        !::GetObjectW(font, sizeof(description), &description) || description.lfUnderline ||
        description.lfStrikeOut)
        return false;
    // The layout box less a margin of a sixth of the em size at either side.
    const float margin = emSize / 6.0f;
    const float room = w - 2 * margin;
    if (room < 0.5f)
        return false;
    const long lineWidth = static_cast<long>(room + 0.005f);

    GlyphStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    if (!store.dc && !(store.dc = ::CreateCompatibleDC(nullptr)))
        return false;
    FontGlyphs& glyphs = GlyphsOf(store, font, description);
    std::vector<PlacedGlyph> placed;
    placed.reserve(text.size());
    int penX = RoundToPixel(x + margin);
    const int penY = RoundToPixel(y + static_cast<float>(glyphs.ascent));
    const int startX = penX;
    RECT ink = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (const wchar_t c : text) {
        const Glyph* glyph = LoadGlyph(store, glyphs, font, c);
        if (!glyph)
            return false;
        if (!glyph->coverage.empty()) {
            placed.push_back({glyph, penX + glyph->left, penY + glyph->top});
            ink.left = std::min<LONG>(ink.left, penX + glyph->left);
            ink.top = std::min<LONG>(ink.top, penY + glyph->top);
            ink.right = std::max<LONG>(ink.right, penX + glyph->left + glyph->width);
            ink.bottom = std::max<LONG>(ink.bottom, penY + glyph->top + glyph->height);
        }
        penX += glyph->advance;
    }
    // Text that would wrap is left to GDI+, which breaks it into lines.
    if (penX - startX > lineWidth)
        return false;
    if (placed.empty())
        return true;
    const RECT box = {RoundToPixel(x), RoundToPixel(y), RoundToPixel(x + w), RoundToPixel(y + h)};
    const RECT bounds = TargetBounds(target);
    RECT drawn{};
    if (!::IntersectRect(&drawn, &ink, &box) || !::IntersectRect(&drawn, &drawn, &bounds))
        return true;
    const int drawnWidth = drawn.right - drawn.left, drawnHeight = drawn.bottom - drawn.top;
    if (!GrowScratch(store, drawnWidth, drawnHeight))
        return false;
    store.coverage.assign(static_cast<size_t>(drawnWidth) * drawnHeight, 0);
    AddCoverage(placed, drawn, store.coverage);
    ::GdiFlush(); // nothing of earlier GDI work may still use the scratch bits
    FillScratch(store, store.coverage, drawnWidth, drawnHeight, color);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(target, drawn.left, drawn.top, drawnWidth, drawnHeight, store.dc, 0, 0,
                        drawnWidth, drawnHeight, blend) != FALSE;
}

void CGlyphText::Release() {
    GlyphStore& store = TheStore();
    std::lock_guard<std::mutex> guard(store.lock);
    store.fonts.clear();
    store.glyphCount = 0;
    store.coverage = std::vector<BYTE>();
    // The DC goes before the bitmap selected into it.
    if (store.dc)
        ::DeleteDC(store.dc);
    if (store.scratch)
        ::DeleteObject(store.scratch);
    store.dc = nullptr;
    store.scratch = nullptr;
    store.scratchBits = nullptr;
    store.scratchWidth = store.scratchHeight = 0;
}
