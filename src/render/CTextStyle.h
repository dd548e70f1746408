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
    virtual const char* GetFamily();
    // 0xAABBGGRR; a zero alpha byte means 254.
    virtual void SetColor(UINT32 value);
    virtual UINT32 GetColor();
    virtual void SetSize(int pixels);
    virtual int GetSize();
    // 4 bold, 8 italic, 16 underline; other bits ignored.
    virtual void SetStyle(int flags);
    virtual int GetStyle();

    Gdiplus::Font* font = nullptr;
    Gdiplus::SolidBrush* brush = nullptr;
    Gdiplus::FontFamily* fontFamily = nullptr;
    std::string familyName;
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
};
