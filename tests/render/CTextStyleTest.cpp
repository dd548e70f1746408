// CTextStyle with real GDI+ objects: the brush colour for each way a colour
// is given, the font style and size, and a family name that matches no
// installed family still giving a font that draws.
#include "render/CTextStyle.h"
#include "Pixels.h"
#include "render/GdiPlus.h"

#include <gtest/gtest.h>
#include <string>

namespace {
// The default family name: two characters of code page 936.
const char kDefaultFamily[] = "\xCB\xCE\xCC\xE5";

Gdiplus::ARGB BrushColor(const CTextStyle& style) {
    Gdiplus::Color color;
    EXPECT_NE(nullptr, style.brush);
    if (style.brush)
        style.brush->GetColor(&color);
    return color.GetValue();
}

std::wstring FamilyName(const CTextStyle& style) {
    WCHAR name[LF_FACESIZE] = {};
    if (style.fontFamily)
        style.fontFamily->GetFamilyName(name);
    return name;
}

// How many pixels of a white canvas a short text in the style changes.
int InkedPixels(const CTextStyle& style) {
    Canvas canvas = MakeCanvas(120, 40, 0xFFFFFFFF);
    {
        Gdiplus::Graphics graphics(canvas.dc);
        graphics.DrawString(L"Tavrel", -1, style.font, Gdiplus::PointF(2, 2), style.brush);
    }
    ::GdiFlush();
    int inked = 0;
    for (int i = 0; i < canvas.width * canvas.height; ++i)
        inked += canvas.bits[i] != 0xFFFFFFFF;
    FreeCanvas(canvas);
    return inked;
}
} // namespace

class TextStyleTest : public ::testing::Test {
protected:
    CTextStyle style;
};

TEST_F(TextStyleTest, DefaultsAndSizeInPixels) {
    EXPECT_STREQ(kDefaultFamily, style.GetFamily());
    EXPECT_EQ(0xFF000000u, BrushColor(style));
    ASSERT_NE(nullptr, style.font);
    EXPECT_EQ(12.0f, style.font->GetSize());
    EXPECT_EQ(Gdiplus::UnitPixel, style.font->GetUnit());
    EXPECT_EQ(Gdiplus::FontStyleRegular, style.font->GetStyle());
    style.SetSize(13);
    ASSERT_NE(nullptr, style.font);
    EXPECT_EQ(13.0f, style.font->GetSize());
    EXPECT_EQ(Gdiplus::UnitPixel, style.font->GetUnit());
}

TEST_F(TextStyleTest, ColourBecomesBrushArgb) {
    struct Case {
        UINT32 value; // 0xAABBGGRR
        Gdiplus::ARGB argb;
    };
    const Case cases[] = {
        {0x00000000, 0xFE000000}, // no alpha byte: 254
        {0x80FF0000, 0x800000FF}, // blue at alpha 128
        {0x000000FF, 0xFEFF0000}, // red
        {0xFF123456, 0xFF563412},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "value " << c.value);
        style.SetColor(c.value);
        EXPECT_EQ(c.argb, BrushColor(style));
        EXPECT_EQ(c.value, style.GetColor());
    }
}

TEST_F(TextStyleTest, StyleFlagsChooseTheFontStyle) {
    using namespace Gdiplus;
    const struct {
        int flags;
        INT fontStyle;
    } cases[] = {
        {4, FontStyleBold},
        {12, FontStyleBold | FontStyleItalic},
        {16, FontStyleUnderline},
        {1, FontStyleRegular},
        {2, FontStyleRegular},
        {32, FontStyleRegular},
        {28 | 1, FontStyleBold | FontStyleItalic | FontStyleUnderline},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "flags " << c.flags);
        style.SetStyle(c.flags);
        ASSERT_NE(nullptr, style.font);
        EXPECT_EQ(c.fontStyle, style.font->GetStyle());
        EXPECT_EQ(c.flags, style.GetStyle());
    }
}

// Under Wine neither the default name nor GDI+'s generic sans-serif family
// resolves; the text must still be drawn in some installed family.
TEST_F(TextStyleTest, UnknownFamilyKeepsItsNameAndStillDraws) {
    for (const char* name : {kDefaultFamily, "No Such Family Anywhere"}) {
        SCOPED_TRACE(name);
        style.SetFamily(name);
        EXPECT_STREQ(name, style.GetFamily());
        ASSERT_NE(nullptr, style.fontFamily);
        EXPECT_TRUE(style.fontFamily->IsAvailable());
        ASSERT_NE(nullptr, style.font);
        EXPECT_TRUE(style.font->IsAvailable());
        EXPECT_GT(InkedPixels(style), 20);
    }
}

TEST_F(TextStyleTest, InstalledFamilyIsKeptByNullOrEmptyName) {
    style.SetFamily("DejaVu Serif");
    EXPECT_EQ(L"DejaVu Serif", FamilyName(style));
    style.SetSize(20);
    for (const char* name : {static_cast<const char*>(nullptr), ""}) {
        style.SetFamily(name);
        EXPECT_STREQ("DejaVu Serif", style.GetFamily());
        EXPECT_EQ(L"DejaVu Serif", FamilyName(style));
        ASSERT_NE(nullptr, style.font);
        EXPECT_EQ(20.0f, style.font->GetSize());
    }
}
