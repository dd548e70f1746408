// What a paint leaves in the bar's back buffer: each image at its place and
// own size, in drawing order, the active background only while active, the
// backgrounds stretched to the bar, and no alpha build-up over repaints.
#include "BarTestSupport.h"
#include "Pump.h"
#include "TestFiles.h"
#include "render/GdiPlus.h"

namespace {

using PaintTest = BarTest;

struct Spot {
    const char* what;
    int x, y;
    uint32_t color;
};

void ExpectSpots(const PixelImage& image, std::initializer_list<Spot> spots) {
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.what);
        EXPECT_TRUE(SameColor(image.At(s.x, s.y), s.color))
            << std::hex << image.At(s.x, s.y) << " at " << std::dec << s.x << ", " << s.y;
    }
}

TEST_F(PaintTest, EachImageAtItsPlaceAndOwnSize) {
    ShowStandardBar();
    const PixelImage image = PaintAndRead();
    ASSERT_EQ(400, image.width);
    ASSERT_EQ(30, image.height);
    ExpectSpots(image, {{"background", 200, 15, kBackgroundColor},
                        {"background corner", 399, 29, kBackgroundColor},
                        {"icon top left", 6, 7, kIconColor},
                        {"icon bottom right", 21, 22, kIconColor},
                        {"right of the icon", 22, 10, kBackgroundColor},
                        {"below the icon", 10, 23, kBackgroundColor},
                        {"arrow top left", 25, 13, kArrowColor},
                        {"arrow bottom right", 31, 16, kArrowColor},
                        {"right of the arrow", 32, 14, kBackgroundColor},
                        {"below the arrow", 28, 17, kBackgroundColor},
                        {"button top left", 370, 3, kButtonColor},
                        {"button bottom right", 393, 26, kButtonColor},
                        {"left of the button", 369, 15, kBackgroundColor},
                        {"below the button", 380, 27, kBackgroundColor}});
    EXPECT_EQ(0xFF, PixelImage::Alpha(image.At(200, 15)));
}

TEST_F(PaintTest, LaterImagesCoverEarlierOnes) {
    ShowStandardBar();
    bar->searchButtonX = 10; // the button over the icon's lower right part
    bar->searchButtonY = 12;
    bar->active = 1;
    ExpectSpots(PaintAndRead(), {{"icon outside the button", 7, 8, kIconColor},
                                 {"button over the icon", 15, 15, kButtonColor},
                                 {"active over main background", 200, 15, kActiveColor}});
}

// The second background shows only while the bar is active, stretched to
// the bar; once inactive again the main background shows alone.
TEST_F(PaintTest, ActiveBackgroundOnlyWhileActive) {
    ShowStandardBar();
    const struct {
        const char* what;
        bool withActiveImage;
        int active;
        uint32_t expected;
    } cases[] = {{"inactive", true, 0, kBackgroundColor},
                 {"active", true, 1, kActiveColor},
                 {"inactive again", true, 0, kBackgroundColor},
                 {"active without an active image", false, 1, kBackgroundColor}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.withActiveImage)
            bar->activeBackgroundImage.Release();
        else
            bar->SetActiveBackgroundImage(SkinPng(10, 10, kActiveColor).c_str());
        bar->active = c.active;
        ExpectSpots(PaintAndRead(), {{"top left", 0, 0, c.expected},
                                     {"middle", 200, 15, c.expected},
                                     {"bottom right", 399, 29, c.expected}});
    }
}

// Over a semi-transparent skin each paint must start from a clear buffer:
// neither the alpha nor a former active look may linger.
TEST_F(PaintTest, SemiTransparentSkinLooksTheSameOnEveryPaint) {
    Create();
    bar->SetBackgroundImage(SkinPng(400, 30, 0x80FFFFFF).c_str(), 0);
    bar->SetActiveBackgroundImage(SkinPng(400, 30, 0x80FF0000).c_str());
    bar->SetPosition(kBarLeft, kBarTop);
    bar->UpdateLayout();
    bar->ShowBar(SW_SHOW);
    PumpUntilIdle();
    const uint32_t first = PaintAndRead().At(200, 15);
    EXPECT_NEAR(0x80, PixelImage::Alpha(first), 2);
    uint32_t last = first;
    for (int i = 0; i < 49; ++i)
        last = PaintAndRead().At(200, 15);
    EXPECT_EQ(first, last);

    bar->active = 1;
    EXPECT_NE(first, PaintAndRead().At(200, 15));
    bar->active = 0;
    EXPECT_EQ(first, PaintAndRead().At(200, 15));
}

} // namespace

// A skin whose pictures have no alpha (a JPEG background, as photographic
// skins are) shows opaque: in the back buffer and on the screen.
TEST_F(PaintTest, BackgroundWithoutAlphaShowsOpaque) {
    Create({kBarLeft, kBarTop, 200, 30});
    bar->SetBackgroundImage(
        WriteSolidPicture("red.jpg", 200, 30, 0xFFFF0000, L"image/jpeg", PixelFormat24bppRGB).c_str(),
        0);
    bar->UpdateLayout();
    bar->ShowBar(SW_SHOW);
    PumpUntilIdle();
    const PixelImage image = PaintAndRead();
    ASSERT_EQ(200, image.width);
    EXPECT_EQ(0xFF, PixelImage::Alpha(image.At(3, 3)));
    EXPECT_GE(PixelImage::Red(image.At(3, 3)), 0xF0);
    HDC screen = ::GetDC(nullptr);
    const COLORREF shown = ::GetPixel(screen, kBarLeft + 3, kBarTop + 3);
    ::ReleaseDC(nullptr, screen);
    EXPECT_GE(GetRValue(shown), 0xF0) << std::hex << shown;
    EXPECT_LE(GetBValue(shown), 0x10) << std::hex << shown;
}
