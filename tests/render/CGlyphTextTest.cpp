// CGlyphText against GDI+ string drawing in the same layout box: the rows
// the lists draw from kept glyphs must be the pixels GDI+ gives them (Latin,
// Cyrillic and CJK in a fallback family, bold and italic, a colour with its
// own alpha, light text on dark, text cut at the canvas edge, twice the
// size), and what it cannot draw alike it leaves to GDI+ untouched. Wine's
// GDI+ draws the same glyph masks; Windows' GDI+ rasterizes its own, so
// there the rows look alike rather than equal.
#include "render/CFontFallback.h"
#include "render/CGlyphText.h"
#include "render/CTextStyle.h"
#include "Pixels.h"
#include "render/GdiPlus.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 240;

struct Row {
    const wchar_t* text;
    int size;
    int style;        // CTextStyle's flags
    UINT32 color;     // 0xAABBGGRR as CTextStyle takes it
    uint32_t canvas;  // 0xAARRGGBB
};

std::vector<uint32_t> Pixels(const Canvas& canvas) {
    ::GdiFlush();
    return std::vector<uint32_t>(canvas.bits, canvas.bits + canvas.width * canvas.height);
}

int Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int differ = 0;
    for (size_t i = 0; i < a.size(); ++i)
        differ += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return differ;
}

TEST(GlyphText, RowsAreTheStringsGdiPlusDraws) {
    const Row rows[] = {
        {L"suggestion 12.wind Xg", 13, 1, 0, 0xFFFFFFFF},
        {L"Bold, (brackets) & 0123456789", 13, 4, 0, 0xFFF4F6F8},
        {L"Italic quick fox", 13, 8, 0, 0xFFFFFFFF},
        {L"\x043F\x0440\x0438\x0432\x0435\x0442 \x6771\x4EAC \x3072\x3089\x304C\x306A", 13, 1, 0,
         0xFFFFFFFF},
        {L"light on dark", 13, 1, 0x80F0EAE6, 0xFF202428},
        {L"a text far wider than the canvas, cut off at its right edge and not wrapped", 13, 1,
         0xFE3060C0, 0xFFFFFFFF},
        {L"Xg at 200 percent", 26, 1, 0, 0xFFFFFFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.size << " px, style " << row.style);
        CTextStyle style;
        style.SetColor(row.color);
        style.SetSize(row.size);
        style.SetStyle(row.style);
        CRowFonts fonts;
        const std::wstring text = row.text;
        const float height = row.size * 25.0f / 13.0f;
        const Gdiplus::RectF box(3.0f, height / 4, 10.0f * kWidth, height);
        Canvas byGdiPlus = MakeCanvas(kWidth, static_cast<int>(height * 1.5f), row.canvas);
        Canvas byGlyphs = MakeCanvas(kWidth, static_cast<int>(height * 1.5f), row.canvas);
        {
            Gdiplus::Graphics graphics(byGdiPlus.dc);
            Gdiplus::StringFormat format(0, 0);
            graphics.DrawString(text.c_str(), -1, fonts.FontFor(style, text), box, &format,
                                style.brush);
        }
        Gdiplus::Color color;
        style.brush->GetColor(&color);
        // Twice: the second time from glyphs kept the first time.
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_TRUE(CGlyphText::Draw(byGlyphs.dc, fonts.GdiFontFor(style, text),
                                         static_cast<float>(row.size), text, box.X, box.Y,
                                         box.Width, box.Height, color.GetValue()));
            const std::vector<uint32_t> expected = Pixels(byGdiPlus);
            EXPECT_EQ(0, Differences(expected, Pixels(byGlyphs))) << pass;
            EXPECT_GT(Differences(expected, std::vector<uint32_t>(expected.size(), row.canvas)),
                      20); // there is text to compare
            std::fill_n(byGlyphs.bits, byGlyphs.width * byGlyphs.height, row.canvas);
        }
        FreeCanvas(byGdiPlus);
        FreeCanvas(byGlyphs);
    }
}

// Text that needs shaping, an underlined font and text that would wrap in
// its box are GDI+'s to draw: Draw answers false and changes no pixel.
TEST(GlyphText, LeavesToGdiPlusWhatItCannotDrawAlike) {
    CTextStyle plain;
    plain.SetSize(13);
    CTextStyle underlined;
    underlined.SetSize(13);
    underlined.SetStyle(16);
    CRowFonts plainFonts, underlinedFonts;
    const struct {
        const wchar_t* text;
        CTextStyle* style;
        CRowFonts* fonts;
        float boxWidth;
    } cases[] = {
        {L"cafe\x0301 combining", &plain, &plainFonts, 2400.0f},
        {L"\x0915\x093F\x0924\x093E\x092C", &plain, &plainFonts, 2400.0f}, // Devanagari
        {L"tab\there", &plain, &plainFonts, 2400.0f},
        {L"underlined", &underlined, &underlinedFonts, 2400.0f},
        {L"two words that wrap", &plain, &plainFonts, 60.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.boxWidth);
        Canvas canvas = MakeCanvas(kWidth, 30, 0xFFFFFFFF);
        const std::wstring text = c.text;
        EXPECT_FALSE(CGlyphText::Draw(canvas.dc, c.fonts->GdiFontFor(*c.style, text), 13.0f, text,
                                      3.0f, 6.0f, c.boxWidth, 25.0f, 0xFE000000));
        const std::vector<uint32_t> after = Pixels(canvas);
        EXPECT_EQ(0, Differences(after, std::vector<uint32_t>(after.size(), 0xFFFFFFFF)));
        FreeCanvas(canvas);
    }
}

} // namespace
