// CTextStyle: family name, colour, size and style flags of list text, with
// the GDI+ family, font and brush built from them whenever one changes.
#pragma once
#include <string>
#include <windows.h>

namespace Gdiplus {
class Font;
class FontFamily;
class SolidBrush;
} // namespace Gdiplus

class CTextStyle {
public:
    CTextStyle();
    virtual ~CTextStyle();
    CTextStyle(const CTextStyle&) = delete;
    CTextStyle& operator=(const CTextStyle&) = delete;

    virtual void SetFamily(const char* name);
    // The same with a UTF-16 name; null or empty keeps the family.
    void SetFamilyW(const wchar_t* name);
    virtual const char* GetFamily();
    // 0xAABBGGRR; a zero alpha byte means 254.
    virtual void SetColor(UINT32 value);
    virtual UINT32 GetColor();
    virtual void SetSize(int pixels);
    virtual int GetSize();
    // 4 bold, 8 italic, 16 underline; other bits ignored.
    virtual void SetStyle(int flags);
    virtual int GetStyle();
    // The colour of a highlighted row's text (0xAABBGGRR as SetColor);
    // until set, highlighted text has the text colour.
    void SetHighlightColor(UINT32 value);
    const Gdiplus::SolidBrush* BrushFor(bool highlighted) const;
    UINT32 ColorFor(bool highlighted) const;

    Gdiplus::Font* font = nullptr;
    Gdiplus::SolidBrush* brush = nullptr;
    Gdiplus::FontFamily* fontFamily = nullptr;
    Gdiplus::SolidBrush* highlightBrush = nullptr;
    std::string familyName;
    std::wstring familyNameW; // familyName in UTF-16, or the wide name given
    UINT32 highlightColor = 0;
    UINT32 color = 0;
    int size = 12;
    int style = 1;

private:
    // When familyName names no installed family, a stand-in family is used
    // (GDI+'s generic sans-serif, else the first installed family);
    // familyName itself stays as set.
    void RebuildFontFamily();
    void RebuildFont();
    void RebuildBrush(UINT32 argb);
    void RebuildFamilyAndFont();
};
