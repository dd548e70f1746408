// CFontFallback: glyph look-ups with GDI on one memory DC, with a GDI font
// per family kept for the life of the process (a handful at most), under a
// lock since bars may live on several threads.
#include "CFontFallback.h"
#include "CTextStyle.h"
#include "GdiPlus.h"

#include <mutex>
#include <vector>

const wchar_t* const CFontFallback::kFamilies[] = {
    L"Segoe UI",        L"Microsoft YaHei",   L"SimSun",           L"Meiryo",
    L"MS Gothic",       L"Malgun Gothic",     L"Arial Unicode MS", L"Noto Sans CJK SC",
    L"WenQuanYi Micro Hei", L"DejaVu Sans",   nullptr};

namespace {
// Height of the fonts used only to look glyphs up.
constexpr int kProbeHeight = -16;

struct GlyphProbe {
    std::mutex lock;
    HDC dc = nullptr;
    std::map<std::wstring, HFONT> fonts; // null: no family of that name
};

// Made on first use and never destroyed, like the skin picture cache.
GlyphProbe& TheProbe() {
    static GlyphProbe* probe = new GlyphProbe;
    return *probe;
}

// Characters that need no glyph of their own, or that GetGlyphIndicesW
// cannot judge (each half of a surrogate pair).
bool NeedsNoGlyph(wchar_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || (c >= 0x2000 && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) || c == 0x3000 ||
           c == 0xFEFF || (c >= 0xD800 && c <= 0xDFFF);
}

bool FamilyInstalled(const std::wstring& family) {
    const Gdiplus::FontFamily found(family.c_str(), nullptr);
    return found.IsAvailable() != FALSE;
}

int CountMissing(HDC dc, HFONT font, const std::wstring& text) {
    if (!dc || !font || text.empty())
        return 0;
    std::vector<WORD> glyphs(text.size());
    const HGDIOBJ old = ::SelectObject(dc, font);
    const DWORD mapped = ::GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                                            glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    ::SelectObject(dc, old);
    if (mapped == GDI_ERROR)
        return 0;
    int missing = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (glyphs[i] == 0xFFFF && !NeedsNoGlyph(text[i]))
            ++missing;
    return missing;
}

HDC ProbeDC(GlyphProbe& probe) {
    if (!probe.dc)
        probe.dc = ::CreateCompatibleDC(nullptr);
    return probe.dc;
}

HFONT MakeFont(const std::wstring& family, int height, int gdiplusStyle) {
    return ::CreateFontW(height, 0, 0, 0, (gdiplusStyle & Gdiplus::FontStyleBold) ? FW_BOLD : FW_NORMAL,
                         (gdiplusStyle & Gdiplus::FontStyleItalic) ? TRUE : FALSE,
                         (gdiplusStyle & Gdiplus::FontStyleUnderline) ? TRUE : FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, family.c_str());
}
} // namespace

bool CFontFallback::IsPlain(const std::wstring& text) {
    for (const wchar_t c : text)
        if (c > 0x7F)
            return false;
    return true;
}

int CFontFallback::MissingGlyphs(HFONT font, const std::wstring& text) {
    if (IsPlain(text))
        return 0;
    GlyphProbe& probe = TheProbe();
    std::lock_guard<std::mutex> guard(probe.lock);
    return CountMissing(ProbeDC(probe), font, text);
}

int CFontFallback::MissingGlyphs(const std::wstring& family, const std::wstring& text) {
    GlyphProbe& probe = TheProbe();
    std::lock_guard<std::mutex> guard(probe.lock);
    auto found = probe.fonts.find(family);
    if (found == probe.fonts.end()) {
        // GDI would quietly substitute another face for a missing one.
        HFONT font = FamilyInstalled(family) ? MakeFont(family, kProbeHeight, 0) : nullptr;
        found = probe.fonts.emplace(family, font).first;
    }
    if (!found->second)
        return -1;
    return IsPlain(text) ? 0 : CountMissing(ProbeDC(probe), found->second, text);
}

std::wstring CFontFallback::FamilyFor(const std::wstring& text, int missing) {
    std::wstring best;
    int fewest = missing;
    for (const wchar_t* const* family = kFamilies; *family && fewest > 0; ++family) {
        const int lacking = MissingGlyphs(*family, text);
        if (lacking >= 0 && lacking < fewest) {
            fewest = lacking;
            best = *family;
        }
    }
    return best;
}

std::wstring CFontFallback::FamilyNameOf(const CTextStyle& style) {
    WCHAR name[LF_FACESIZE] = {};
    if (!style.fontFamily || style.fontFamily->GetFamilyName(name) != Gdiplus::Ok)
        return std::wstring();
    return name;
}

CRowFonts::~CRowFonts() {
    Clear();
}

void CRowFonts::Clear() {
    for (auto& entry : fonts)
        delete entry.second;
    fonts.clear();
    for (auto& entry : gdiFonts)
        if (entry.second)
            ::DeleteObject(entry.second);
    gdiFonts.clear();
}

void CRowFonts::ForgetIfStyleChanged(const CTextStyle& textStyle) {
    const int nowSize = textStyle.font ? static_cast<int>(textStyle.font->GetSize()) : 0;
    const int nowStyle = textStyle.font ? textStyle.font->GetStyle() : 0;
    if (nowSize == size && nowStyle == style)
        return;
    Clear();
    size = nowSize;
    style = nowStyle;
}

std::wstring CRowFonts::FamilyFor(const CTextStyle& textStyle, const std::wstring& text) {
    if (CFontFallback::IsPlain(text))
        return std::wstring();
    const int missing = CFontFallback::MissingGlyphs(CFontFallback::FamilyNameOf(textStyle), text);
    if (missing <= 0)
        return std::wstring();
    return CFontFallback::FamilyFor(text, missing);
}

const Gdiplus::Font* CRowFonts::FontFor(const CTextStyle& textStyle, const std::wstring& text) {
    const std::wstring family = FamilyFor(textStyle, text);
    if (family.empty() || !textStyle.font)
        return textStyle.font;
    ForgetIfStyleChanged(textStyle);
    Gdiplus::Font*& font = fonts[family];
    if (!font) {
        const Gdiplus::FontFamily fallback(family.c_str(), nullptr);
        font = new Gdiplus::Font(&fallback, textStyle.font->GetSize(), textStyle.font->GetStyle(),
                                 Gdiplus::UnitPixel);
    }
    return font->IsAvailable() ? font : textStyle.font;
}

HFONT CRowFonts::GdiFontFor(const CTextStyle& textStyle, const std::wstring& text) {
    std::wstring family = FamilyFor(textStyle, text);
    if (family.empty())
        family = CFontFallback::FamilyNameOf(textStyle);
    ForgetIfStyleChanged(textStyle);
    HFONT& font = gdiFonts[family];
    if (!font)
        font = MakeFont(family, -size, style);
    return font;
}
