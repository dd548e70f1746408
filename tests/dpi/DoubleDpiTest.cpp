// The bar on a 192-DPI screen (this program runs in a Wine prefix of its own
// whose LogPixels is 192; see scripts/wine-run-dpi.sh): every size doubled,
// the scale-200 pictures taken where they exist and the 1x ones scaled where
// not, checked in the pixels; clicks and keys at the doubled places; and a
// change of DPI sent by hand, since Wine never sends WM_DPICHANGED.
#include "../../src/input/CGuiEdit.h"
#include "../../src/popup/CEngineList.h"
#include "../../src/popup/CSuggestionList.h"
#include "../../src/render/ScaledSkinFile.h"
#include "../bar/BarTestSupport.h"
#include "Input.h"
#include "Pump.h"
#include "TestFiles.h"
#include <utility>

namespace {

constexpr uint32_t kButton200Color = 0xFF00A0A0;  // button.scale-200.png
constexpr uint32_t kListColor = 0xFFF0F0F0;       // suggestion list, 1x
constexpr uint32_t kList200Color = 0xFFE0F0D0;    // suggestion list, scale-200
constexpr uint32_t kEngineIconColor = 0xFF0000F0; // the engines' icons, 1x only

// A picture and its scale-200 variant in another colour.
std::string SkinWithVariant(const char* name, int width, int height, uint32_t color,
                            uint32_t variantColor) {
    WriteSolidPng(std::string(name) + ".scale-200.png", 2 * width, 2 * height, variantColor);
    return WriteSolidPng(std::string(name) + ".png", width, height, color);
}

int EditFontHeight(const CGuiEdit& edit) {
    LOGFONTA font{};
    ::GetObjectA(edit.font, sizeof(font), &font);
    return font.lfHeight;
}

// Rows of the first list row that hold text ink (dark pixels).
int InkHeight(const PixelImage& list, int rowHeight) {
    int top = -1, bottom = -1;
    for (int y = 2; y < rowHeight - 2; ++y)
        for (int x = 4; x < list.width / 2; ++x)
            if (PixelImage::Green(list.At(x, y)) < 0x60) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

class DoubleDpiTest : public BarTest {
protected:
    void SetUp() override {
        BarTest::SetUp();
        ASSERT_EQ(192, CDpiScale::OfWindow(host.hwnd()).GetDpi())
            << "this program needs a screen of 192 DPI";
    }
    // The standard skin of the bar tests; the button and the suggestion
    // list also come drawn for 200%.
    void ShowSkinnedBar() {
        Create();
        ApplyStandardSkin();
        bar->SetSearchButtonImage(
            SkinWithVariant("button", 24, 24, kButtonColor, kButton200Color).c_str());
        bar->SetSuggestionListBackground(
            SkinWithVariant("list", 40, 10, kListColor, kList200Color).c_str());
        for (const char* name : {"Alpha", "Beta"})
            bar->AddEngine(SkinPng(16, 16, kEngineIconColor).c_str(), name,
                           (std::string("http://") + name + ".invalid/?q=").c_str());
        bar->UpdateLayout();
        bar->ShowBar(SW_SHOW);
        PumpUntilIdle();
        host.Clear();
    }
    // The 400 x 30 standard layout at the given scale, at (left, top).
    void ExpectLayoutAt(int scale, int left, int top) {
        EXPECT_EQ((RECT{left, top, left + 400 * scale, top + 30 * scale}), WindowRectOf(BarHwnd()));
        EXPECT_EQ(6 * scale, bar->iconX);
        EXPECT_EQ(7 * scale, bar->iconY);
        EXPECT_EQ(25 * scale, bar->arrowX);
        EXPECT_EQ(370 * scale, bar->searchButtonX);
        EXPECT_EQ((RECT{6 * scale, 7 * scale, 32 * scale, 23 * scale}), bar->engineHitRect);
        EXPECT_EQ((RECT{370 * scale, 3 * scale, 394 * scale, 27 * scale}),
                  bar->searchButtonHitRect);
        const int editLeft = left + 32 * scale, editTop = top + 7 * scale;
        EXPECT_EQ((RECT{editLeft, editTop, editLeft + 338 * scale, editTop + 14 * scale}),
                  WindowRectOf(bar->queryEdit->m_hWnd));
        EXPECT_EQ(13 * scale, EditFontHeight(*bar->queryEdit));
        EXPECT_EQ(25 * scale, bar->suggestionList->itemHeight);
        EXPECT_EQ(13 * scale, bar->suggestionList->fontSize);
        EXPECT_EQ(std::make_pair(100 * scale, 50 * scale),
                  std::make_pair(bar->engineList->width, bar->engineList->height));
    }
    void ChangeDpi(WORD dpi, RECT suggested) {
        ::SendMessageA(BarHwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
    }
    void ClickAtScreen(POINT at) {
        WaitDoubleClickTime();
        ClickAt(at.x, at.y);
    }
};

// The user's whole round at 200%: everything twice the size, the button and
// list drawn from their scale-200 files, the rest scaled up, and every
// click and key landing where the doubled parts are.
TEST_F(DoubleDpiTest, BarListsAndInputAtTwiceTheSize) {
    ShowSkinnedBar();
    ExpectLayoutAt(2, kBarLeft, kBarTop);

    const PixelImage painted = PaintAndRead();
    ASSERT_EQ(800, painted.width);
    EXPECT_TRUE(SameColor(painted.At(12, 14), kIconColor));  // 1x icon, scaled: 32 x 32
    EXPECT_TRUE(SameColor(painted.At(43, 45), kIconColor));
    EXPECT_TRUE(SameColor(painted.At(44, 30), kBackgroundColor));
    EXPECT_TRUE(SameColor(painted.At(50, 26), kArrowColor)); // 1x arrow, scaled: 14 x 8
    EXPECT_TRUE(SameColor(painted.At(63, 33), kArrowColor));
    EXPECT_TRUE(SameColor(painted.At(740, 6), kButton200Color)); // the 48 x 48 variant
    EXPECT_TRUE(SameColor(painted.At(787, 53), kButton200Color));
    EXPECT_TRUE(SameColor(painted.At(788, 30), kBackgroundColor));

    // The engine list opens under a click on the doubled icon; the second
    // row, 50 pixels high, takes a click at its doubled place.
    ClickAtScreen(ScreenPointOf(bar->engineHitRect));
    ASSERT_TRUE(PumpUntil([&] { return EngineListVisible(); }));
    PumpUntilIdle();
    const RECT engines = WindowRectOf(bar->engineList->m_hWnd);
    EXPECT_EQ((RECT{kBarLeft, kBarTop + 60, kBarLeft + 200, kBarTop + 160}), engines);
    ClickAtScreen({engines.left + 150, engines.top + 75});
    ASSERT_TRUE(PumpUntil([&] { return std::string("Beta") == bar->GetEngineName(); }));

    // Typing into the doubled field, then the suggestions: rows and text
    // twice as high as at 96 DPI, the list skin from its scale-200 file.
    ClickIntoField();
    TypeIntoFocus("ab");
    ASSERT_TRUE(PumpUntil([&] { return FieldText() == "ab"; }));
    OfferSuggestions({"Xg first", "Xg second"});
    const RECT list = WindowRectOf(bar->suggestionList->m_hWnd);
    EXPECT_EQ((RECT{kBarLeft, kBarTop + 60, kBarLeft + 800, kBarTop + 160}), list);
    const PixelImage rows = ReadMemoryDC(bar->suggestionList->bufferDC);
    EXPECT_TRUE(SameColor(rows.At(700, 40), kList200Color));
    // "Xg" inks 14 rows in the 13-pixel list font of 96 DPI, 25 in the
    // 26-pixel one (measured; hinting keeps it from exactly twice).
    const int ink = InkHeight(rows, 50);
    EXPECT_TRUE(ink >= 22 && ink <= 28) << ink;

    TapKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return FieldText() == "Xg first"; }));
    ClickAtScreen({list.left + 100, list.top + 75}); // the second row
    ASSERT_TRUE(PumpUntil([&] { return !launches.Urls().empty(); }));
    EXPECT_EQ(std::vector<std::string>{"http://Beta.invalid/?q=Xg%20second"}, launches.Urls());

    launches.Clear();
    ClickAtScreen(ScreenPointOf(bar->searchButtonHitRect));
    ASSERT_TRUE(PumpUntil([&] { return !launches.Urls().empty(); }));
    EXPECT_EQ(std::vector<std::string>{"http://Beta.invalid/?q=Xg%20second"}, launches.Urls());
}

// WM_DPICHANGED, sent as Windows would when the bar moves to a screen of
// another DPI: the bar takes the new size and the suggested corner, reloads
// its pictures for the new scale and says nothing to the host.
TEST_F(DoubleDpiTest, DpiChangeResizesAndReloads) {
    ShowSkinnedBar();
    RECT suggested = {300, 120, 700, 150};
    ChangeDpi(96, suggested);
    ExpectLayoutAt(1, 300, 120);
    EXPECT_TRUE(SameColor(PaintAndRead().At(380, 15), kButtonColor)); // the 1x file again
    EXPECT_EQ(16, bar->engineList->GetItem(0)->icon.GetWidth());

    suggested = {50, 60, 850, 120};
    ChangeDpi(192, suggested);
    ExpectLayoutAt(2, 50, 60);
    EXPECT_TRUE(SameColor(PaintAndRead().At(760, 30), kButton200Color));
    EXPECT_EQ(32, bar->engineList->GetItem(0)->icon.GetWidth());
    PumpUntilIdle();
    EXPECT_TRUE(host.Matches({}));
}

// Which file a picture comes from: the smallest variant at or above the
// scale, else the largest there is, resampled to the 1x size times the
// scale; at 96 DPI only the named file.
TEST(ScaledSkinFileTest, VariantChoiceAndSize) {
    const std::string above = WriteSolidPng("above.png", 24, 12, 0xFF101010);
    WriteSolidPng("above.scale-150.png", 36, 18, 0xFF202020);
    WriteSolidPng("above.scale-300.png", 72, 36, 0xFF303030);
    WriteSolidPng("above.scale-400.png", 96, 48, 0xFF404040);
    const std::string below = WriteSolidPng("below.png", 24, 12, 0xFF101010);
    WriteSolidPng("below.scale-125.png", 30, 15, 0xFF505050);
    WriteSolidPng("below.scale-150.png", 36, 18, 0xFF606060);
    const struct {
        const std::string& path;
        int dpi;
        uint32_t color;
    } cases[] = {{above, 192, 0xFF303030}, {below, 192, 0xFF606060}, {above, 96, 0xFF101010},
                 {above, 144, 0xFF202020}};
    HDC screen = ::GetDC(nullptr);
    for (const auto& c : cases) {
        CSkinImage image;
        image.LoadFromFile(screen, c.path.c_str(), CDpiScale(c.dpi));
        const int width = CDpiScale(c.dpi).Scale(24), height = CDpiScale(c.dpi).Scale(12);
        EXPECT_EQ(std::make_pair(width, height),
                  std::make_pair(image.GetWidth(), image.GetHeight()))
            << c.dpi;
        const PixelImage pixels = ReadMemoryDC(image.memDC);
        EXPECT_TRUE(SameColor(pixels.At(width - 1, height - 1), c.color, 8)) << c.path << c.dpi;
    }
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ("C:\\skin.v2\\bar.scale-200", ScaledVariantPath("C:\\skin.v2\\bar", 200));
    EXPECT_EQ("skin/bar.x.scale-125.png", ScaledVariantPath("skin/bar.x.png", 125));
}

} // namespace
