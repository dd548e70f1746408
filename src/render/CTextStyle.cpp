// CTextStyle: the description of list text (family name, colour, size, style
// flags) and the GDI+ family, font and brush built from it. Each setter
// rebuilds what depends on its value at once, so painting never builds GDI+
// objects. The three objects live in GDI+'s own heap (GdipAlloc/GdipFree).
#include "CTextStyle.h"
#include "AnsiToWide.h"
#include "GdiPlus.h"

#include <new>
#include <utility>

namespace {
using namespace Gdiplus;

// Alpha given to a colour that carries none.
constexpr UINT32 kImpliedAlpha = 0xFE;

// Constructs a GDI+ wrapper in memory from GdipAlloc; null when none is left.
template <class T, class... Args> T* GdipNew(Args&&... args) {
    void* memory = DllExports::GdipAlloc(sizeof(T));
    // The wrappers' class-level operator new hides placement new.
    return memory ? ::new (memory) T(std::forward<Args>(args)...) : nullptr;
}

// Deletes the native object (the wrapper's destructor), then the memory.
template <class T> void GdipDestroy(T*& object) {
    if (!object)
        return;
    object->~T();
    DllExports::GdipFree(object);
    object = nullptr;
}

// 4 bold, 8 italic, 16 underline: bits 2 to 4 are GDI+'s own style bits.
INT ToFontStyle(int flags) {
    return (flags >> 2) & (FontStyleBold | FontStyleItalic | FontStyleUnderline);
}

// 0xAABBGGRR to GDI+'s 0xAARRGGBB with the alpha chosen by the caller.
ARGB ToArgb(UINT32 color, UINT32 alpha) {
    const UINT32 red = color & 0xFF;
    const UINT32 green = (color >> 8) & 0xFF;
    const UINT32 blue = (color >> 16) & 0xFF;
    return alpha << 24 | red << 16 | green << 8 | blue;
}

UINT32 AlphaOf(UINT32 color) {
    const UINT32 alpha = color >> 24;
    return alpha ? alpha : kImpliedAlpha;
}

// GDI+'s generic sans-serif family, when the system resolves it.
FontFamily* CloneGenericSansSerif() {
    const FontFamily* generic = FontFamily::GenericSansSerif();
    return generic && generic->IsAvailable() ? generic->Clone() : nullptr;
}

// The first family GDI+ knows of, so that text is drawn in something.
FontFamily* CloneFirstInstalledFamily() {
    InstalledFontCollection installed;
    FontFamily first;
    INT found = 0;
    if (installed.GetFamilies(1, &first, &found) != Ok || found < 1 || !first.IsAvailable())
        return nullptr;
    return first.Clone();
}

// A family named like no installed one would leave the font unusable and the
// lists without text; a stand-in family keeps them readable.
FontFamily* CloneFallbackFamily() {
    if (FontFamily* generic = CloneGenericSansSerif())
        return generic;
    return CloneFirstInstalledFamily();
}
} // namespace

CTextStyle::CTextStyle() : familyName("\xCB\xCE\xCC\xE5") {
    familyNameW = AnsiToWide(familyName.c_str());
    RebuildFontFamily();
    RebuildFont();
    RebuildBrush(ToArgb(color, 0xFF));
}

CTextStyle::~CTextStyle() {
    GdipDestroy(fontFamily);
    GdipDestroy(font);
    GdipDestroy(brush);
    GdipDestroy(highlightBrush);
}

void CTextStyle::SetFamily(const char* name) {
    if (name && *name) {
        familyName = name;
        familyNameW = AnsiToWide(name);
    }
    RebuildFamilyAndFont();
}

void CTextStyle::SetFamilyW(const wchar_t* name) {
    if (name && *name) {
        familyNameW = name;
        familyName = WideToAnsi(familyNameW);
    }
    RebuildFamilyAndFont();
}

void CTextStyle::RebuildFamilyAndFont() {
    RebuildFontFamily();
    RebuildFont();
}

const char* CTextStyle::GetFamily() {
    return familyName.c_str();
}

void CTextStyle::SetColor(UINT32 value) {
    color = value;
    RebuildBrush(ToArgb(value, AlphaOf(value)));
}

UINT32 CTextStyle::GetColor() {
    return color;
}

void CTextStyle::SetSize(int pixels) {
    size = pixels;
    RebuildFont();
}

int CTextStyle::GetSize() {
    return size;
}

void CTextStyle::SetStyle(int flags) {
    style = flags;
    RebuildFont();
}

int CTextStyle::GetStyle() {
    return style;
}

void CTextStyle::SetHighlightColor(UINT32 value) {
    highlightColor = value;
    GdipDestroy(highlightBrush);
    highlightBrush = GdipNew<SolidBrush>(Color(ToArgb(value, AlphaOf(value))));
}

const Gdiplus::SolidBrush* CTextStyle::BrushFor(bool highlighted) const {
    return highlighted && highlightBrush ? highlightBrush : brush;
}

UINT32 CTextStyle::ColorFor(bool highlighted) const {
    return highlighted && highlightBrush ? highlightColor : color;
}

void CTextStyle::RebuildFontFamily() {
    GdipDestroy(fontFamily);
    fontFamily = GdipNew<FontFamily>(familyNameW.c_str(), nullptr);
    if (fontFamily && fontFamily->IsAvailable())
        return;
    if (FontFamily* fallback = CloneFallbackFamily()) {
        GdipDestroy(fontFamily);
        fontFamily = fallback;
    }
}

void CTextStyle::RebuildFont() {
    const INT fontStyle = ToFontStyle(style);
    GdipDestroy(font);
    font = GdipNew<Font>(fontFamily, static_cast<REAL>(size), fontStyle, UnitPixel);
}

void CTextStyle::RebuildBrush(UINT32 argb) {
    GdipDestroy(brush);
    brush = GdipNew<SolidBrush>(Color(argb));
}
